#include "cli/json_writer.h"

#include "store/workbook/utf.h"

#include <charconv>
#include <cmath>

namespace tomorine::cli {

namespace {

// Writers into a buffer sized for the worst case: a push_back per byte took
// a quarter of a whole dump.
char* PutEscape(char* p, char16_t c) {
    static constexpr char kHex[] = "0123456789abcdef";
    *p++ = '\\';
    *p++ = 'u';
    for (int shift = 12; shift >= 0; shift -= 4) {
        *p++ = kHex[(c >> shift) & 0xF];
    }
    return p;
}

// Six bytes a unit at most: an escape, or three bytes of UTF-8 (a pair's
// four bytes stand for two units).
constexpr std::size_t kMaxBytesPerUnit = 6;

} // namespace

void AppendJsonString(std::string& out, std::u16string_view text) {
    const std::size_t start = out.size();
    out.resize(start + 2 + kMaxBytesPerUnit * text.size());
    char* p = out.data() + start;
    *p++ = '"';
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const bool pairStart = c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() &&
                               text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
        if (c == u'"' || c == u'\\') {
            *p++ = '\\';
            *p++ = static_cast<char>(c);
        } else if (c < 0x20 || (c >= 0xD800 && c <= 0xDFFF && !pairStart)) {
            // Control characters, and halves of broken surrogate pairs, which
            // UTF-8 cannot hold, are kept as escapes.
            p = PutEscape(p, c);
        } else if (pairStart) {
            p = PutUtf8(p, 0x10000 + ((char32_t{c} - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            p = PutUtf8(p, c);
        }
    }
    *p++ = '"';
    out.resize(static_cast<std::size_t>(p - out.data()));
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

void WriteJsonSerials(std::ostream& out, const std::vector<std::int32_t>& serials) {
    out << '[';
    for (size_t i = 0; i < serials.size(); ++i) {
        out << (i ? ", " : "") << serials[i];
    }
    out << ']';
}

} // namespace tomorine::cli
