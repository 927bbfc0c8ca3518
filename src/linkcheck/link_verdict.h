#pragma once

#include <string>

namespace tomorine {

// Whether a URL is dead and why. Dead: the request could not be made or
// failed on the way (name not resolved, refused, TLS, time-out, malformed or
// empty URL, a scheme other than http/https, too many redirects), or its
// final status was 404 or 410. Every other completed exchange is alive,
// 403, 429 and 5xx included: the page may well be there.
struct LinkVerdict {
    bool dead = false;
    std::string reason; // for a dead URL, what went wrong; empty when alive

    bool operator==(const LinkVerdict&) const = default;
};

namespace DeadReason {
inline constexpr const char* EmptyUrl = "URLがありません";
inline constexpr const char* Malformed = "URLの形式が誤っています";
inline constexpr const char* Scheme = "http/https 以外のURLです";
inline constexpr const char* NotResolved = "ホスト名を解決できません";
inline constexpr const char* CannotConnect = "接続できません";
inline constexpr const char* TimedOut = "時間切れです";
inline constexpr const char* Tls = "TLS 接続に失敗しました";
inline constexpr const char* TooManyRedirects = "リダイレクトが多すぎます";
inline constexpr const char* HostNotAllowed = "接続先が許可されていません";
} // namespace DeadReason

LinkVerdict AliveVerdict();
LinkVerdict DeadVerdict(std::string reason);
// The verdict of a completed exchange by its final status.
LinkVerdict VerdictOfStatus(long status);
// The verdict of a request that failed with a libcurl result code.
LinkVerdict VerdictOfFailure(int curlCode);

} // namespace tomorine
