#include "linkcheck/request_target.h"

#include "store/workbook/ascii_case.h"
#include "web/curl_handles.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace tomorine {

namespace {

std::string_view Trimmed(std::string_view text) {
    constexpr std::string_view blanks = " \t\r\n\f\v";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool IsReservedInvalid(std::string_view host) {
    if (host.ends_with('.')) {
        host.remove_suffix(1);
    }
    return host == "invalid" || host.ends_with(".invalid");
}

// A scheme written before the first colon ("mailto:", "javascript:"), lower
// case; empty when the text does not start with one.
std::string SchemeOf(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || !std::isalpha(text[0])) {
        return {};
    }
    for (char c : text.substr(0, colon)) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') {
            return {};
        }
    }
    return AsciiLower(std::string(text.substr(0, colon)));
}

RequestTarget Refused(LinkVerdict verdict) {
    return RequestTarget{{}, {}, std::move(verdict)};
}

RequestTarget Invalid(LinkReason reason, std::string_view words = {}) {
    return Refused(ListedVerdict(LinkClass::Invalid, reason, words));
}

// Bookmarks of other kinds than web pages, which the check cannot judge.
bool IsUnjudgedScheme(const std::string& scheme) {
    return scheme == "ftp" || scheme == "ftps" || scheme == "file";
}

RequestTarget OfScheme(const std::string& scheme) {
    return IsUnjudgedScheme(scheme) ? Refused(UnjudgedVerdict()) : Invalid(LinkReason::Scheme);
}

} // namespace

RequestTarget PrepareRequest(const std::string& url, const LinkCheckOptions& options) {
    const std::string_view text = Trimmed(url);
    if (text.empty()) {
        return Invalid(LinkReason::Malformed, "URLがありません");
    }
    const std::string written = SchemeOf(text);
    if (!written.empty() && written != "http" && written != "https") {
        return OfScheme(written);
    }
    ParsedUrl parsed;
    if (parsed.parse(std::string(text)) != CURLUE_OK) {
        return Invalid(LinkReason::Malformed);
    }
    const std::string scheme = AsciiLower(parsed.part(CURLUPART_SCHEME));
    if (scheme != "http" && scheme != "https") {
        return OfScheme(scheme);
    }
    std::string host = AsciiLower(parsed.part(CURLUPART_HOST));
    if (host.empty()) {
        return Invalid(LinkReason::Malformed);
    }
    if (IsReservedInvalid(host)) {
        return Refused(ListedVerdict(LinkClass::Unreachable, LinkReason::Dns));
    }
    if (options.hostAllowed && !options.hostAllowed(host)) {
        return Refused(ListedVerdict(LinkClass::Unreachable, LinkReason::Refused,
                                     "接続先が許可されていません"));
    }
    return RequestTarget{parsed.part(CURLUPART_URL), std::move(host), std::nullopt};
}

} // namespace tomorine
