#include "cli/json_writer.h"

#include "store/workbook/utf.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace tomorine::cli {

void WriteJsonString(std::ostream& out, std::u16string_view text) {
    std::string escaped = "\"";
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        bool pairStart = c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() &&
                         text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
        if (c == u'"' || c == u'\\') {
            escaped += '\\';
            escaped += static_cast<char>(c);
        } else if (c < 0x20 || (c >= 0xD800 && c <= 0xDFFF && !pairStart)) {
            // Control characters, and halves of broken surrogate pairs, which
            // UTF-8 cannot hold, are kept as escapes.
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
            escaped += buf;
        } else if (pairStart) {
            escaped += ToUtf8(text.substr(i, 2));
            ++i;
        } else {
            escaped += ToUtf8(text.substr(i, 1));
        }
    }
    escaped += '"';
    out << escaped;
}

void WriteJsonNumber(std::ostream& out, double value) {
    if (!std::isfinite(value)) {
        out << "null";
        return;
    }
    char buf[32];
    auto result = std::to_chars(buf, buf + sizeof buf, value);
    out.write(buf, result.ptr - buf);
}

} // namespace tomorine::cli
