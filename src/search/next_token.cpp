#include "search/next_token.h"

namespace tomorine {

namespace {

constexpr size_t None = std::u16string::npos;

} // namespace

std::u16string NextToken(std::u16string& text, std::u16string_view delimiters) {
    if (delimiters.empty() || text.empty()) {
        return {};
    }
    // 0-based positions; None stands for "not found" (0 in 1-based terms).
    size_t best = None;
    size_t start = 0;
    for (char16_t d : delimiters) {
        size_t skip = text.find_first_not_of(d);
        if (skip == None) {
            skip = text.size();
        }
        size_t found = text.find(d, skip);
        if (best == None || (found != None && found < best)) {
            start = skip;
            best = found;
        }
    }
    if (best == None) {
        std::u16string word = text.substr(start);
        text.clear();
        return word;
    }
    std::u16string word = text.substr(start, best - start);
    text.erase(0, best + 1);
    return word;
}

} // namespace tomorine
