#include "search/contains_all_words.h"

#include "search/next_token.h"
#include "search/search_fold.h"

namespace tomorine {

bool ContainsAllWords(std::u16string_view fieldText, std::u16string searchText) {
    if (searchText.empty()) {
        return false;
    }
    // Thousands of rows go through here per search: the folded texts live in
    // per-thread buffers so that a call allocates nothing once they have grown.
    thread_local std::u16string field;
    thread_local std::u16string word;
    FoldForSearch(fieldText, field);
    while (!searchText.empty()) {
        FoldForSearch(NextToken(searchText, WordDelimiters), word);
        // An empty word is found in any text but an empty one.
        if (field.empty() || field.find(word) == std::u16string::npos) {
            return false;
        }
    }
    return true;
}

} // namespace tomorine
