#pragma once

#include "search/search_texts.h"

#include <cstdint>
#include <string>

namespace tomorine {

// The last search, kept so that it can be re-run after a change.
struct SearchState {
    std::u16string SavedSearchSql; // empty: no search to re-run
    SearchTexts SavedSearchTexts;
    std::int32_t HitCount = 0;
    bool SilentSearch = false;  // a search that finds nothing says nothing
    bool EntrySelected = false; // the user picked a line since the last command
};

} // namespace tomorine
