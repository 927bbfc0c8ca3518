#pragma once

#include "search/search_texts.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tomorine {

// The last search, kept so that it can be re-run after a change.
struct SearchState {
    // The URL the last search selected its rows by; none: no search to re-run.
    std::optional<std::u16string> SavedSearchUrl;
    SearchTexts SavedSearchTexts;
    std::int32_t HitCount = 0;
    bool SilentSearch = false;  // a search that finds nothing says nothing
    bool EntrySelected = false; // the user picked a line since the last command
};

} // namespace tomorine
