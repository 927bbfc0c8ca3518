#include "htmlexport/html_text.h"

#include "search/full_width.h"

namespace tomorine {

std::u16string EscapeAmpersands(std::u16string_view text) {
    std::u16string escaped;
    escaped.reserve(text.size());
    for (char16_t c : text) {
        escaped += c == u'&' ? std::u16string_view(u"&amp;") : std::u16string_view(&c, 1);
    }
    return escaped;
}

std::u16string EscapeLinkTarget(std::u16string_view url) {
    std::u16string escaped;
    escaped.reserve(url.size());
    for (char16_t c : url) {
        const char16_t* reference = c == u'&'   ? u"&amp;"
                                    : c == u'"' ? u"&quot;"
                                    : c == u'<' ? u"&lt;"
                                    : c == u'>' ? u"&gt;"
                                                : nullptr;
        escaped += reference ? std::u16string_view(reference) : std::u16string_view(&c, 1);
    }
    return escaped;
}

std::u16string DisplayText(std::u16string_view text) {
    return EscapeAmpersands(ToFullWidth(text));
}

} // namespace tomorine
