#pragma once

#include <string>
#include <string_view>

namespace tomorine {

constexpr bool IsHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
constexpr bool IsLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Writes code point `c` as UTF-8 at `p` (four bytes at most) and returns
// the end; inline, as the writers of every text cell call it per character.
inline char* PutUtf8(char* p, char32_t c) {
    if (c < 0x80) {
        *p++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *p++ = static_cast<char>(0xC0 | (c >> 6));
        *p++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *p++ = static_cast<char>(0xE0 | (c >> 12));
        *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *p++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *p++ = static_cast<char>(0xF0 | (c >> 18));
        *p++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *p++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return p;
}

// Entry texts are UTF-16 (chunks count code units); file names, SQLite and
// error descriptions are UTF-8. Invalid input becomes U+FFFD, never an error.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

// The same, on the table interface's hot path (every text cell of every row
// passes through both), without reallocating: `out` and `scratch` are reused
// across calls. Unlike ToUtf8, AssignUtf8 keeps a lone surrogate in its
// three-byte form: entry texts are cut into chunks by UTF-16 code units, a cut
// may fall inside a pair, and every text must pass through SQLite unchanged.
// Both decoders read such a form back as the lone surrogate.
void AssignUtf8(std::string& out, std::u16string_view text);
std::u16string DecodeUtf8(std::string_view text, std::u16string& scratch);

// Whether `text` holds half of a surrogate pair without the other half beside
// it, which strict decoders (xlrd's) refuse.
bool HasLoneSurrogate(std::u16string_view text);
// `text` with each such half replaced by U+FFFD.
std::u16string ReplaceLoneSurrogates(std::u16string_view text);

} // namespace tomorine
