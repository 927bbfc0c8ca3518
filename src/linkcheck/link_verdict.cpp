#include "linkcheck/link_verdict.h"

#include <curl/curl.h>
#include <iterator>

namespace tomorine {

namespace {

// A name in the JSON output and its words on the list.
struct NamedText {
    const char* name;
    const char* words;
};

// Each reason's, in the order of LinkReason.
constexpr NamedText kReasonTexts[] = {
    {"", ""},
    {"http-404", "ページがありません (404)"},
    {"http-410", "ページは削除されました (410)"},
    {"dns", "ホスト名を解決できません"},
    {"refused", "接続できません"},
    {"reset", "接続が切断されました"},
    {"empty-reply", "応答が空です"},
    {"timeout", "時間切れです"},
    {"tls", "TLS 接続に失敗しました"},
    {"redirects", "リダイレクトが多すぎます"},
    {"malformed", "URLの形式が誤っています"},
    {"scheme", "リンクではありません"},
};
static_assert(std::size(kReasonTexts) == static_cast<std::size_t>(LinkReason::Scheme) + 1);

// Each class's, its words the caption, in the order of LinkClass.
constexpr NamedText kClassTexts[] = {
    {"alive", ""},
    {"unjudged", ""},
    {"gone", "リンク切れ"},
    {"unreachable", "接続不可"},
    {"invalid", "無効なURL"},
};
static_assert(std::size(kClassTexts) == static_cast<std::size_t>(LinkClass::Invalid) + 1);

const char* ReasonWords(LinkReason reason) {
    return kReasonTexts[static_cast<std::size_t>(reason)].words;
}

LinkVerdict Unreachable(LinkReason reason) {
    return ListedVerdict(LinkClass::Unreachable, reason);
}

} // namespace

const char* ClassName(LinkClass linkClass) {
    return kClassTexts[static_cast<std::size_t>(linkClass)].name;
}

const char* ReasonName(LinkReason reason) {
    return kReasonTexts[static_cast<std::size_t>(reason)].name;
}

const char* ClassCaption(LinkClass linkClass) {
    return kClassTexts[static_cast<std::size_t>(linkClass)].words;
}

LinkVerdict UnjudgedVerdict() {
    return {LinkClass::Unjudged, LinkReason::None, {}};
}

LinkVerdict ListedVerdict(LinkClass linkClass, LinkReason reason, std::string_view words) {
    std::string message = ClassCaption(linkClass);
    message += ": ";
    message += words.empty() ? std::string_view(ReasonWords(reason)) : words;
    return {linkClass, reason, std::move(message)};
}

LinkVerdict VerdictOfStatus(long status) {
    if (status == 404) {
        return ListedVerdict(LinkClass::Gone, LinkReason::Http404);
    }
    if (status == 410) {
        return ListedVerdict(LinkClass::Gone, LinkReason::Http410);
    }
    return {};
}

LinkVerdict VerdictOfFailure(int curlCode) {
    switch (static_cast<CURLcode>(curlCode)) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return Unreachable(LinkReason::Dns);
    case CURLE_COULDNT_CONNECT:
        return Unreachable(LinkReason::Refused);
    case CURLE_OPERATION_TIMEDOUT:
        return Unreachable(LinkReason::Timeout);
    case CURLE_GOT_NOTHING:
        return Unreachable(LinkReason::EmptyReply);
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE:
        return Unreachable(LinkReason::Reset);
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_USE_SSL_FAILED:
        return Unreachable(LinkReason::Tls);
    case CURLE_TOO_MANY_REDIRECTS:
        return Unreachable(LinkReason::Redirects);
    case CURLE_URL_MALFORMAT:
        return ListedVerdict(LinkClass::Invalid, LinkReason::Malformed);
    case CURLE_UNSUPPORTED_PROTOCOL:
        return ListedVerdict(LinkClass::Invalid, LinkReason::Scheme);
    default:
        // Whatever else broke the exchange, the page was not seen to be gone.
        return ListedVerdict(LinkClass::Unreachable, LinkReason::Reset,
                             std::string("通信に失敗しました (") +
                                 curl_easy_strerror(static_cast<CURLcode>(curlCode)) + ")");
    }
}

} // namespace tomorine
