#pragma once

#include <string>
#include <vector>

namespace tomorine {

// One bookmark as a browser keeps it, every text in UTF-8.
struct BrowserBookmark {
    std::string url;
    std::string title;
    std::vector<std::string> tags;
    std::string description;
    std::string folder; // the folders above it, outermost first, joined by "/"
};

} // namespace tomorine
