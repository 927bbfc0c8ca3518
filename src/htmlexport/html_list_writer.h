#pragma once

#include "htmlexport/html_page_writer.h"
#include "search/search_texts.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace tomorine {

struct StoreState;

// What the export of the last search works on.
struct HtmlListRequest {
    std::u16string statement;         // the last search's statement; empty: none ran
    SearchTexts searchTexts;          // each row of it is written only when it matches these
    bool commentOutput = false;       // with the comment rows
    std::filesystem::path outputPath; // the page to write
    HtmlProgress progress;            // may be empty
};

struct HtmlListResult {
    bool noData = false; // no statement, or it returned no rows: nothing was written
    int entriesWritten = 0;
};

// Writes the page of the last search. Runs the statement on the module
// connection of `state`, opened afresh on its DataFilePath, and leaves that
// connection and its result recordset open (ConnectionOpen set,
// HasSearchResult set when rows came back), as a search does. An existing
// page is replaced only by a complete new one. Failures of the workbook or of
// the page are thrown as WorkbookError.
HtmlListResult WriteHtmlList(StoreState& state, const HtmlListRequest& request);

} // namespace tomorine
