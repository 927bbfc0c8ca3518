#pragma once

#include <string>
#include <vector>

namespace tomorine {

// The words of an entry's keyword text, in order and with repeats: the text
// cut at every run of half-width and full-width spaces. The search's word
// cutting leaves the spaces of a run that mixes both kinds in a word of its
// own or before the next word (" sports" from "news　 sports"); a keyword
// list shows no such blank or space-led keywords, so they are trimmed here.
std::vector<std::u16string> KeywordWords(std::u16string text);

} // namespace tomorine
