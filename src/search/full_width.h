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

} // namespace tomorine
