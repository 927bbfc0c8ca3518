#pragma once

#include <string>
#include <vector>

namespace tomorine {

// The words of an entry's keyword text, cut as a search text is cut (at the
// half-width and the full-width space), in order and with repeats. A run of
// spaces may leave a word with a leading space or an empty word, exactly as
// the search's word splitting does.
std::vector<std::u16string> KeywordWords(std::u16string text);

} // namespace tomorine
