#include "bookmarks/html_entities.h"

#include "store/workbook/utf.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <utility>

namespace tomorine {

namespace {

void AppendUtf8(std::string& out, std::uint32_t code) {
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        code = 0xFFFD;
    }
    char bytes[4];
    out.append(bytes, PutUtf8(bytes, code));
}

// "#x" and eight hex digits.
constexpr size_t kLongestReference = 10;

constexpr std::array<std::pair<std::string_view, std::uint32_t>, 7> kNamed{{
    {"amp", '&'},
    {"lt", '<'},
    {"gt", '>'},
    {"quot", '"'},
    {"apos", '\''},
    {"nbsp", 0xA0},
    {"copy", 0xA9},
}};

// The code point of the reference between '&' and ';', or 0 when unknown.
std::uint32_t ReferenceValue(std::string_view name) {
    if (name.size() > 1 && name[0] == '#') {
        const bool hex = name[1] == 'x' || name[1] == 'X';
        std::string_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty() || digits.size() > 8) {
            return 0;
        }
        std::uint32_t value = 0;
        const char* end = digits.data() + digits.size();
        const auto read = std::from_chars(digits.data(), end, value, hex ? 16 : 10);
        if (read.ec != std::errc() || read.ptr != end) {
            return 0;
        }
        return value == 0 ? 0xFFFD : value;
    }
    for (const auto& [entity, value] : kNamed) {
        if (entity == name) {
            return value;
        }
    }
    return 0;
}

} // namespace

std::string DecodeEntities(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '&') {
            // Looks no further than the longest reference, so that a run of
            // '&' without ';' stays linear.
            const size_t semicolon = text.substr(i, kLongestReference + 2).find(';');
            if (semicolon != std::string_view::npos) {
                const size_t end = i + semicolon;
                if (std::uint32_t code = ReferenceValue(text.substr(i + 1, end - i - 1))) {
                    AppendUtf8(out, code);
                    i = end + 1;
                    continue;
                }
            }
        }
        out += text[i++];
    }
    return out;
}

std::string EscapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const char* reference = c == '&'   ? "&amp;"
                                : c == '<' ? "&lt;"
                                : c == '>' ? "&gt;"
                                : c == '"' ? "&quot;"
                                           : nullptr;
        out += reference ? std::string_view(reference) : std::string_view(&c, 1);
    }
    return out;
}

} // namespace tomorine
