#include "keywords/keyword_words.h"

#include "search/next_token.h"

namespace tomorine {

std::vector<std::u16string> KeywordWords(std::u16string text) {
    std::vector<std::u16string> words;
    while (!text.empty()) {
        std::u16string word = NextToken(text, WordDelimiters);
        // Only leading spaces can be left in a word.
        word.erase(0, word.find_first_not_of(WordDelimiters));
        if (!word.empty()) {
            words.push_back(std::move(word));
        }
    }
    return words;
}

} // namespace tomorine
