#pragma once

#include "browser/shortcut_target.h"
#include "store/workbook/workbook_error.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tomorine {

struct StoreState;
class Workbook;

// The import's module-level state.
struct FavoritesState {
    std::int32_t registeredCount = 0; // favorites inserted by this import
    std::int32_t existingCount = 0;   // favorites whose URL was already registered
    std::int32_t skippedCount = 0;    // not an http, https, ftp or file URL
    bool importCancelRequested = false;
};

// One favorite: its shortcut's target and its name.
struct Favorite {
    std::u16string url;
    std::u16string name;
};

// The target and name of a shortcut file; nothing when the target cannot be
// read (counted in `counters`).
std::optional<Favorite> ReadFavoriteFile(const std::filesystem::path& path,
                                         ShortcutCounters& counters);

// Sets the five counters to 0.
void ResetImportCounts(FavoritesState& favorites, ShortcutCounters& counters);

// What the import shows while it runs.
struct ImportUi {
    std::function<void(const std::filesystem::path&)> addFile; // the file about to be read
    std::function<void(const Favorite&)> showFavorite;         // its URL and name, once read
    std::function<void(int percent)> setProgress;
    std::function<void()> processEvents; // lets the user ask for a stop
};

// How the data file is saved and when; tests replace them.
struct ImportOptions {
    std::chrono::milliseconds saveInterval{1000};
    std::function<std::chrono::steady_clock::time_point()> now = std::chrono::steady_clock::now;
    std::function<void(const Workbook&, const std::filesystem::path&)> save;
};

struct ImportOutcome {
    std::int32_t found = 0;               // shortcut files found
    std::int32_t unreadableFolders = 0;   // subfolders passed over
    bool stopped = false;                 // a stop request ended the import
    std::optional<WorkbookError> failure; // what ended it early
};

struct ImportContext {
    StoreState& store; // dataFilePath, the module connection
    FavoritesState& favorites;
    ShortcutCounters& counters;
    ImportUi ui;
    ImportOptions options = {};
};

// Imports the "*.url" files of `folder` and below into the data workbook at
// store.dataFilePath: each file is listed, read and, when its URL is not
// registered yet, registered under the next serial with the favorite's name
// as title. The workbook is read once and kept in memory; it is saved
// atomically at the end, on a stop or failure, and at most once a
// saveInterval in between, each time under the data file's lock and on the
// file as other writers left it (see ImportRun). The counts then always
// describe what the data file holds: after a save fails they are those of
// the last save that succeeded. A failure is returned, not thrown; nothing is
// read from the data file when there is no shortcut file.
ImportOutcome RunFavoritesImport(ImportContext& context, const std::filesystem::path& folder);

} // namespace tomorine
