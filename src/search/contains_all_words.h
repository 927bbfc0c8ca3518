#pragma once

#include <string>
#include <string_view>

namespace tomorine {

// True when every word of `searchText` (cut at half-width and full-width
// spaces by NextToken) occurs in `fieldText`, compared after folding both to
// narrow lower-case form. False for an empty search text. An empty word
// occurs in any non-empty field text but not in an empty one.
bool ContainsAllWords(std::u16string_view fieldText, std::u16string searchText);

} // namespace tomorine
