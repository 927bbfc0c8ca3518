#pragma once

#include "search/search_texts.h"
#include "store/table/recordset.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace tomorine {

// What the last search left, owned by the main window: its texts, the rows
// it selected and the file it read them from. Engines take what they need
// of it as arguments.
struct SearchSession {
    // The URL the rows were selected by; none: no search to re-run.
    std::optional<std::u16string> savedSearchUrl;
    SearchTexts savedSearchTexts;
    std::int32_t hitCount = 0;
    bool entrySelected = false; // the user picked a line since the last command
    // The rows the list shows, until a command that writes lets go of them.
    std::optional<Recordset> rows;
    std::filesystem::path searchedFile;

    void keepRows(std::filesystem::path file, Recordset kept) {
        searchedFile = std::move(file);
        rows = std::move(kept);
    }
    // Before a command that writes: nothing may act on the listed rows.
    void releaseRows() { rows.reset(); }
};

} // namespace tomorine
