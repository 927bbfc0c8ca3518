#pragma once

#include <string>
#include <string_view>

namespace tomorine {

// The wide-character conversion of the Japanese desktop: every character
// with a full-width form takes it. Printable ASCII becomes U+FF01..U+FF5E,
// the space U+3000, half-width katakana full-width katakana (a following
// half-width sound mark joins its letter: "ｶﾞ" gives "ガ"), and the narrow
// signs (¥, ¢, £, ¬, ¯, ¦, ₩, the half-width arrows and shapes) their wide
// forms. Every other character, control characters and surrogates included,
// stays as it is.
std::u16string ToFullWidth(std::u16string_view text);

inline bool IsHalfWidthKatakana(char16_t c) {
    return c >= u'\uFF61' && c <= u'\uFF9F';
}

// The full-width form of the half-width katakana `c`, joined with `next` when
// that is a sound mark the letter takes; `joined` tells whether it was.
char16_t WideKatakana(char16_t c, char16_t next, bool& joined);

} // namespace tomorine
