#include "browser/meta_keywords.h"

#include "browser/next_line.h"

#include <algorithm>
#include <string_view>

namespace tomorine {

namespace {

constexpr std::string_view kNameKeywords = " NAME=KEYWORDS>";
constexpr std::string_view kMetaContent = "<META CONTENT=";

// The value of one line, or nothing when the line is not a keywords META
// line. Positions below count from 1: the value starts at 16, right after
// "<META CONTENT=", or at 17 past an opening quote.
std::optional<std::string> LineValue(const std::string& line) {
    const std::size_t found = line.find(kNameKeywords);
    if (found == std::string::npos) {
        return std::nullopt;
    }
    if (line.size() < 1 + kMetaContent.size() ||
        line.compare(1, kMetaContent.size(), kMetaContent) != 0) {
        return std::nullopt;
    }
    std::size_t p = found + 1;
    std::size_t start = 16;
    if (line.size() >= 16 && line[15] == '"') {
        start = 17;
    }
    if (p >= 2 && line[p - 2] == '"') {
        --p;
    }
    // A line too short for its own quotes gives an empty value.
    const std::size_t length = p > start ? p - start : 0;
    std::string value = start - 1 <= line.size() ? line.substr(start - 1, length) : std::string();
    std::replace(value.begin(), value.end(), ',', ' ');
    return value;
}

} // namespace

std::optional<std::string> KeywordsFromMarkup(std::string markup) {
    while (true) {
        const std::string line = NextLine(markup, "\r\n");
        if (line.empty()) {
            return std::nullopt;
        }
        if (auto value = LineValue(line)) {
            return value;
        }
    }
}

} // namespace tomorine
