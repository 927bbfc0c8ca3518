#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace tomorine {

// Names of sheets, streams, fields, INI keys and connection-string keys
// compare without ASCII letter case, as Excel and INI files treat them;
// other letters compare as they are.
template <typename Char>
constexpr Char FoldAsciiCase(Char c) {
    return c >= Char('A') && c <= Char('Z') ? static_cast<Char>(c - Char('A') + Char('a')) : c;
}

template <typename Char>
std::basic_string<Char> FoldAsciiCase(std::basic_string_view<Char> text) {
    std::basic_string<Char> folded(text);
    for (Char& c : folded) {
        c = FoldAsciiCase(c);
    }
    return folded;
}

// ASCII names in UTF-8 (schemes, tags, charsets, file extensions): A-Z
// lowered, every other byte kept.
inline std::string AsciiLower(std::string_view text) {
    return FoldAsciiCase<char>(text);
}

template <typename Char>
bool EqualIgnoringAsciiCase(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](Char x, Char y) { return FoldAsciiCase(x) == FoldAsciiCase(y); });
}

} // namespace tomorine
