#pragma once

#include <string>
#include <string_view>

namespace tomorine {

// The form in which search words and field texts are compared: the narrow
// form (NarrowForSearch) in lower case (LowerChar), with half-width katakana
// in full width, character by character.
char16_t FoldForSearch(char16_t c);

// Writes the folded form of `text` into `out`, reusing its storage; a
// half-width letter and its sound mark fold as one (ｶﾞ as ガ).
void FoldForSearch(std::u16string_view text, std::u16string& out);

} // namespace tomorine
