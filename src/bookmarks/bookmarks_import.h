#pragma once

#include "bookmarks/browser_bookmark.h"
#include "favorites/favorites_import.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tomorine {

struct StoreState;

// What an import of browser bookmarks counted.
struct BookmarksImportCounts {
    std::int32_t found = 0;      // bookmarks in the source
    std::int32_t registered = 0; // entries added
    std::int32_t existing = 0;   // URL already stored, or met earlier in the source
    std::int32_t skipped = 0;    // not an http, https, ftp or file URL, or too long a URL
    std::int32_t cut = 0;        // added with a text shortened to fit its columns
    std::int32_t unreadable = 0; // entries of the source passed over as unreadable
    std::int32_t replaced = 0;   // invalid bytes of the source read as U+FFFD
};

struct BookmarksImportUi {
    std::function<void(int percent)> setProgress;
    std::function<void()> processEvents; // may set the stop request
};

struct BookmarksImportOutcome {
    BookmarksImportCounts counts;
    bool stopped = false;
    std::optional<WorkbookError> failure; // what ended the import early
};

// Imports the bookmarks into the data workbook at store.dataFilePath with the
// Favorites import's rule: a bookmark whose URL is stored already (all URL
// chunks equal) is counted, not added. The workbook is read once and saved
// atomically at the end, on a stop or failure, and at most once an
// options.saveInterval in between, the data file's lock held only to read and
// to save (see ImportRun); after a failed save the
// counts are those of the last save that succeeded. `stopRequested` is read
// after each bookmark. The data file is not touched when no bookmark has an
// importable URL.
BookmarksImportOutcome RunBookmarksImport(StoreState& store, const BrowserBookmarks& source,
                                          const BookmarksImportUi& ui, const bool& stopRequested,
                                          const ImportOptions& options = {});
// The same for a caller done with the bookmarks: each one's memory goes back
// once it is imported, and entries take its place.
BookmarksImportOutcome RunBookmarksImport(StoreState& store, BrowserBookmarks&& source,
                                          const BookmarksImportUi& ui, const bool& stopRequested,
                                          const ImportOptions& options = {});

} // namespace tomorine
