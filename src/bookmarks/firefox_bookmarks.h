#pragma once

#include "bookmarks/browser_bookmark.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tomorine {

// One row of moz_bookmarks with its URL.
struct PlacesItem {
    long long id = 0;
    int type = 0; // 1 bookmark, 2 folder
    long long parent = 0;
    std::string title;
    std::string url;
    std::string guid;
};

// The bookmarks of a Firefox profile (a profile folder or its places.sqlite),
// read from a private copy of the database and its -wal file, in the order
// the browser shows them. Tags come from the tag folders under the tags root;
// the browser's own root folders are not part of a folder path. Throws
// WorkbookError naming the file when it is missing or not a places database.
BrowserBookmarks ReadFirefoxBookmarks(const std::filesystem::path& profileOrFile);

// The same from the rows, ordered by parent and position. Items that no
// root leads to (folders that are each other's parent) are counted as
// unreadable; each folder is walked once.
BrowserBookmarks BookmarksOfPlaces(std::vector<PlacesItem> items);

} // namespace tomorine
