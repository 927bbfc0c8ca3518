#include "browser/next_line.h"

namespace tomorine {

std::string NextLine(std::string& text, std::string_view delimiter) {
    if (delimiter.empty() || text.empty()) {
        return {};
    }
    const char mark = delimiter.front();
    std::size_t start = text.find_first_not_of(mark);
    if (start == std::string::npos) {
        start = text.size();
    }
    const std::size_t found = text.find(mark, start);
    std::string piece;
    if (found != std::string::npos) {
        piece = text.substr(start, found - start);
        text.erase(0, found + 1);
    } else {
        piece = text.substr(start);
        text.clear();
    }
    return piece;
}

} // namespace tomorine
