#pragma once

#include <string>

namespace tomorine {

// The five search texts of one search, one per field group, in the order in
// which they are always read: URL, title, subtitle, keywords, comment.
struct SearchTexts {
    std::u16string url;
    std::u16string title;
    std::u16string subtitle;
    std::u16string keywords;
    std::u16string comment;
};

} // namespace tomorine
