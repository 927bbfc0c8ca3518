#include "keywords/keyword_words.h"

#include "search/next_token.h"

namespace tomorine {

std::vector<std::u16string> KeywordWords(std::u16string text) {
    std::vector<std::u16string> words;
    while (!text.empty()) {
        words.push_back(NextToken(text, WordDelimiters));
    }
    return words;
}

} // namespace tomorine
