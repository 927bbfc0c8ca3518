#include "linkcheck/link_verdict.h"

#include <curl/curl.h>

namespace tomorine {

LinkVerdict AliveVerdict() {
    return {};
}

LinkVerdict DeadVerdict(std::string reason) {
    return {true, std::move(reason)};
}

LinkVerdict VerdictOfStatus(long status) {
    if (status == 404 || status == 410) {
        return DeadVerdict("HTTP " + std::to_string(status));
    }
    return AliveVerdict();
}

LinkVerdict VerdictOfFailure(int curlCode) {
    switch (static_cast<CURLcode>(curlCode)) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return DeadVerdict(DeadReason::NotResolved);
    case CURLE_COULDNT_CONNECT:
        return DeadVerdict(DeadReason::CannotConnect);
    case CURLE_OPERATION_TIMEDOUT:
        return DeadVerdict(DeadReason::TimedOut);
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
        return DeadVerdict(DeadReason::Tls);
    case CURLE_URL_MALFORMAT:
        return DeadVerdict(DeadReason::Malformed);
    case CURLE_UNSUPPORTED_PROTOCOL:
        return DeadVerdict(DeadReason::Scheme);
    case CURLE_TOO_MANY_REDIRECTS:
        return DeadVerdict(DeadReason::TooManyRedirects);
    default:
        return DeadVerdict(std::string("通信に失敗しました (") +
                           curl_easy_strerror(static_cast<CURLcode>(curlCode)) + ")");
    }
}

} // namespace tomorine
