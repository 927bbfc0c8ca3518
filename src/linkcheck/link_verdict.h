#pragma once

#include <string>
#include <string_view>

namespace tomorine {

// What the check makes of a URL. Only a 404 or 410 proves a page gone; a
// transport failure may be the machine's own network, and an invalid URL
// was never a page to reach. Every other completed exchange is alive, 403,
// 429 and 5xx included: the page may well be there. ftp: and file: URLs are
// valid bookmarks that the check cannot judge.
enum class LinkClass { Alive, Unjudged, Gone, Unreachable, Invalid };

enum class LinkReason {
    None,
    Http404,
    Http410,
    Dns,
    Refused,
    Reset,
    EmptyReply,
    Timeout,
    Tls,
    Redirects,
    Malformed,
    Scheme,
};

struct LinkVerdict {
    LinkClass linkClass = LinkClass::Alive;
    LinkReason reason = LinkReason::None;
    std::string message; // for a listed URL, what went wrong in words; else empty

    // Whether the URL belongs on the dead-link list.
    bool listed() const {
        return linkClass == LinkClass::Gone || linkClass == LinkClass::Unreachable ||
               linkClass == LinkClass::Invalid;
    }
    bool operator==(const LinkVerdict&) const = default;
};

// "gone", "unreachable", "invalid" (and "alive", "unjudged").
const char* ClassName(LinkClass linkClass);
// "http-404", "dns", "timeout" and so on; empty for None.
const char* ReasonName(LinkReason reason);
// The caption of a class on the list: リンク切れ, 接続不可, 無効なURL.
const char* ClassCaption(LinkClass linkClass);

LinkVerdict UnjudgedVerdict();
// A listed verdict; its message is the class caption and `words`, or the
// reason's own words when `words` is empty: "リンク切れ: ページがありません (404)".
LinkVerdict ListedVerdict(LinkClass linkClass, LinkReason reason, std::string_view words = {});
// The verdict of a completed exchange by its final status.
LinkVerdict VerdictOfStatus(long status);
// The verdict of a request that failed with a libcurl result code.
LinkVerdict VerdictOfFailure(int curlCode);

} // namespace tomorine
