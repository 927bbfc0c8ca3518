#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace tomorine {

// The longest folder path a bookmark gives (bytes of UTF-8): far more than a
// subtitle holds, so that what is cut is cut by the subtitle's own rule.
inline constexpr std::size_t kMaxFolderPathBytes = 2048;

// The folder a bookmark is in, shared by every bookmark and folder below it,
// so that deep trees cost memory linear in their size; the path is built
// when asked for.
class BookmarkFolder {
public:
    BookmarkFolder() = default;
    // A folder named `name` in `parent` (none: the top).
    BookmarkFolder(const BookmarkFolder& parent, std::string name);

    // The folders from the top down to this one joined by "/", cut after
    // kMaxFolderPathBytes; empty at the top.
    std::string path() const;

private:
    struct Node;
    std::shared_ptr<const Node> node_;
};

// One bookmark as a browser keeps it, every text in UTF-8.
struct BrowserBookmark {
    std::string url;
    std::string title;
    std::vector<std::string> tags;
    std::string description;
    BookmarkFolder folder;
};

// What a reader read, with what it could not read counted.
struct BrowserBookmarks {
    std::vector<BrowserBookmark> bookmarks;
    int unreadable = 0; // entries passed over: broken, or folders in a cycle
    int replaced = 0;   // invalid bytes or escapes read as U+FFFD
};

} // namespace tomorine
