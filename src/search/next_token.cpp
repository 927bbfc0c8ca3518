#include "search/next_token.h"

#include <algorithm>

namespace tomorine {

constexpr size_t None = std::u16string::npos;

std::u16string NextToken(std::u16string& text, std::u16string_view delimiters) {
    if (delimiters.empty() || text.empty()) {
        return {};
    }
    // 0-based positions; None stands for "not found" (0 in 1-based terms).
    size_t best = None;
    size_t start = 0;
    for (char16_t d : delimiters) {
        const size_t skip = std::min(text.find_first_not_of(d), text.size());
        const size_t found = text.find(d, skip);
        if (best == None || (found != None && found < best)) {
            start = skip;
            best = found;
        }
    }
    std::u16string word = text.substr(start, best == None ? None : best - start);
    text.erase(0, best == None ? None : best + 1);
    return word;
}

} // namespace tomorine
