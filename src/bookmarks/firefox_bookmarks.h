#pragma once

#include "bookmarks/browser_bookmark.h"

#include <filesystem>
#include <vector>

namespace tomorine {

// The bookmarks of a Firefox profile (a profile folder or its places.sqlite),
// read from a private copy of the database and its -wal file, in the order
// the browser shows them. Tags come from the tag folders under the tags root;
// the browser's own root folders are not part of a folder path. Throws
// WorkbookError naming the file when it is missing or not a places database.
std::vector<BrowserBookmark> ReadFirefoxBookmarks(const std::filesystem::path& profileOrFile);

} // namespace tomorine
