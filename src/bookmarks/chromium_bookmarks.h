#pragma once

#include "bookmarks/browser_bookmark.h"

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace tomorine {

// The largest bookmark file read (JSON or HTML).
inline constexpr std::uint64_t kMaxBookmarkFileBytes = std::uint64_t{1} << 28;

// The bookmarks of a Chromium-family profile (a profile folder or its
// "Bookmarks" file): the bookmark bar, the other and the synced bookmarks,
// each folder's bookmarks before those of the folders below it as the
// browser lists them. The root folders are not part of a folder path.
// Invalid UTF-8 and halves of surrogate pairs are read as U+FFFD and counted.
// Throws WorkbookError naming the file when it is missing or not whole JSON.
BrowserBookmarks ReadChromiumBookmarks(const std::filesystem::path& profileOrFile);

// The same from the file's text; `name` is what an error names.
BrowserBookmarks ParseChromiumBookmarks(std::string_view json, const std::filesystem::path& name);

} // namespace tomorine
