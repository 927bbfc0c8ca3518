#include "htmlexport/html_text.h"

#include "search/full_width.h"

namespace tomorine {

std::u16string EscapeAmpersands(std::u16string_view text) {
    std::u16string escaped;
    escaped.reserve(text.size());
    for (char16_t c : text) {
        if (c == u'&') {
            escaped += u"&amp;";
        } else {
            escaped += c;
        }
    }
    return escaped;
}

std::u16string EscapeLinkTarget(std::u16string_view url) {
    std::u16string escaped;
    escaped.reserve(url.size());
    for (char16_t c : url) {
        switch (c) {
        case u'&':
            escaped += u"&amp;";
            break;
        case u'"':
            escaped += u"&quot;";
            break;
        case u'<':
            escaped += u"&lt;";
            break;
        case u'>':
            escaped += u"&gt;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::u16string DisplayText(std::u16string_view text) {
    return EscapeAmpersands(ToFullWidth(text));
}

} // namespace tomorine
