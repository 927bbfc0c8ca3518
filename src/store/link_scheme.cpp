#include "store/link_scheme.h"

#include <array>

namespace tomorine {

bool HasLinkScheme(std::u16string_view url) {
    static constexpr std::array<std::u16string_view, 4> kSchemes{u"http:", u"https:", u"ftp:",
                                                                 u"file:"};
    for (std::u16string_view scheme : kSchemes) {
        if (url.size() < scheme.size()) {
            continue;
        }
        bool same = true;
        for (std::size_t i = 0; i < scheme.size() && same; ++i) {
            const char16_t c = url[i];
            same = (c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c) == scheme[i];
        }
        if (same) {
            return true;
        }
    }
    return false;
}

} // namespace tomorine

namespace tomorine {

namespace {

bool IsAsciiAlpha(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool IsSchemeChar(char16_t c) {
    return IsAsciiAlpha(c) || (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
}

// Whether a browser would read a scheme at the start of `url`: it drops
// leading spaces and controls, and tabs and line breaks anywhere.
bool HasAnyScheme(std::u16string_view url) {
    std::size_t i = 0;
    while (i < url.size() && url[i] <= u' ') {
        ++i;
    }
    bool first = true;
    for (; i < url.size(); ++i) {
        const char16_t c = url[i];
        if (c == u'\t' || c == u'\n' || c == u'\r') {
            continue;
        }
        if (c == u':') {
            return !first;
        }
        if (first ? !IsAsciiAlpha(c) : !IsSchemeChar(c)) {
            return false;
        }
        first = false;
    }
    return false;
}

} // namespace

bool IsLinkTarget(std::u16string_view url) {
    return HasLinkScheme(url) || !HasAnyScheme(url);
}

} // namespace tomorine
