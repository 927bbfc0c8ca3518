#include "linkcheck/link_verdict.h"

#include <curl/curl.h>

namespace tomorine {

namespace {

const char* ReasonWords(LinkReason reason) {
    switch (reason) {
    case LinkReason::Http404:
        return "ページがありません (404)";
    case LinkReason::Http410:
        return "ページは削除されました (410)";
    case LinkReason::Dns:
        return "ホスト名を解決できません";
    case LinkReason::Refused:
        return "接続できません";
    case LinkReason::Reset:
        return "接続が切断されました";
    case LinkReason::EmptyReply:
        return "応答が空です";
    case LinkReason::Timeout:
        return "時間切れです";
    case LinkReason::Tls:
        return "TLS 接続に失敗しました";
    case LinkReason::Redirects:
        return "リダイレクトが多すぎます";
    case LinkReason::Malformed:
        return "URLの形式が誤っています";
    case LinkReason::Scheme:
        return "リンクではありません";
    case LinkReason::None:
        break;
    }
    return "";
}

LinkVerdict Unreachable(LinkReason reason) {
    return ListedVerdict(LinkClass::Unreachable, reason);
}

} // namespace

const char* ClassName(LinkClass linkClass) {
    switch (linkClass) {
    case LinkClass::Gone:
        return "gone";
    case LinkClass::Unreachable:
        return "unreachable";
    case LinkClass::Invalid:
        return "invalid";
    case LinkClass::Unjudged:
        return "unjudged";
    case LinkClass::Alive:
        break;
    }
    return "alive";
}

const char* ReasonName(LinkReason reason) {
    switch (reason) {
    case LinkReason::Http404:
        return "http-404";
    case LinkReason::Http410:
        return "http-410";
    case LinkReason::Dns:
        return "dns";
    case LinkReason::Refused:
        return "refused";
    case LinkReason::Reset:
        return "reset";
    case LinkReason::EmptyReply:
        return "empty-reply";
    case LinkReason::Timeout:
        return "timeout";
    case LinkReason::Tls:
        return "tls";
    case LinkReason::Redirects:
        return "redirects";
    case LinkReason::Malformed:
        return "malformed";
    case LinkReason::Scheme:
        return "scheme";
    case LinkReason::None:
        break;
    }
    return "";
}

const char* ClassCaption(LinkClass linkClass) {
    switch (linkClass) {
    case LinkClass::Gone:
        return "リンク切れ";
    case LinkClass::Unreachable:
        return "接続不可";
    case LinkClass::Invalid:
        return "無効なURL";
    case LinkClass::Alive:
    case LinkClass::Unjudged:
        break;
    }
    return "";
}

LinkVerdict AliveVerdict() {
    return {};
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
    return AliveVerdict();
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
