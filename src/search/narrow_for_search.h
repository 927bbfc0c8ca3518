#pragma once

#include <string>
#include <string_view>

namespace tomorine {

// The first character of c's half-width form as the Japanese code page's
// narrow conversion gives it; c itself when it has none or is unfolded.
char16_t NarrowChar(char16_t c);

// The text with every character replaced by NarrowChar: same length.
std::u16string NarrowForSearch(std::u16string_view text);

} // namespace tomorine
