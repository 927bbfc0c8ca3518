#pragma once

#include "browser/foreign_window.h"
#include "browser/shortcut_target.h"
#include "favorites/favorites_import.h"
#include "store/data_connection.h"
#include "upgrade/upgrade_context.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tomorine {

// The program's module-level state under its given names, owned by the
// application and handed to the windows by reference. Each part belongs to
// the engine that defines it.
struct ModuleState : StoreState, UpgradeState, ShortcutCounters, FavoritesState {
    // The settings as last confirmed (read at start-up, or stored by a run of
    // their dialog or an accepted file choice); shutdown writes these.
    std::string dataFileSetting;
    std::string outputFilePath;
    std::string referFilePath;
    bool commentOutput = false;
    std::int32_t savedListTop = 0; // the list's scroll position across a refresh
    std::int32_t savedListIndex = 0;
    bool keywordListMode = false;  // the list shows keywords, not entries
    bool linkCheckRunning = false; // the link check runs; its OK button clears it
    // Pauses (false) and resumes (true) the main window's foreground watch
    // while the link check runs; unset while there is no watch.
    std::function<void(bool enabled)> setForegroundWatchEnabled;
    ForeignWindow lastForeignWindow; // the last other window in the foreground
};

} // namespace tomorine
