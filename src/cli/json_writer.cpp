#include "cli/json_writer.h"

#include <charconv>
#include <cmath>

namespace tomorine::cli {

namespace {

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendEscape(std::string& out, char16_t c) {
    static constexpr char kHex[] = "0123456789abcdef";
    const char escape[] = {
        '\\',         'u', kHex[(c >> 12) & 0xF], kHex[(c >> 8) & 0xF], kHex[(c >> 4) & 0xF],
        kHex[c & 0xF]};
    out.append(escape, sizeof escape);
}

} // namespace

void AppendJsonString(std::string& out, std::u16string_view text) {
    out += '"';
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const bool pairStart = c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() &&
                               text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
        if (c == u'"' || c == u'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || (c >= 0xD800 && c <= 0xDFFF && !pairStart)) {
            // Control characters, and halves of broken surrogate pairs, which
            // UTF-8 cannot hold, are kept as escapes.
            AppendEscape(out, c);
        } else if (pairStart) {
            AppendUtf8(out, 0x10000 + ((char32_t{c} - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            AppendUtf8(out, c);
        }
    }
    out += '"';
}

void AppendJsonNumber(std::string& out, double value) {
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char buf[32];
    auto result = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, result.ptr);
}

void WriteJsonString(std::ostream& out, std::u16string_view text) {
    std::string escaped;
    AppendJsonString(escaped, text);
    out << escaped;
}

void WriteJsonNumber(std::ostream& out, double value) {
    std::string text;
    AppendJsonNumber(text, value);
    out << text;
}

} // namespace tomorine::cli
