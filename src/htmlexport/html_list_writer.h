#pragma once

#include "htmlexport/html_page_writer.h"
#include "search/search_texts.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace tomorine {

// What the export of the last search works on.
struct HtmlListRequest {
    std::optional<std::u16string> searchUrl; // the URL the search selected by; none: none ran
    SearchTexts searchTexts;                 // each row of it is written only when it matches these
    bool commentOutput = false;              // with the comment rows
    std::filesystem::path outputPath;        // the page to write
    HtmlProgress progress;                   // may be empty
};

struct HtmlListResult {
    bool noData = false; // no search, or it selected no rows: nothing was written
    int entriesWritten = 0;
};

// Writes the page of the last search, selecting its rows afresh from the
// data file. An existing page is replaced only by a complete new one.
// Failures of the workbook or of the page are thrown as WorkbookError.
HtmlListResult WriteHtmlList(const std::filesystem::path& dataFile, const HtmlListRequest& request);

} // namespace tomorine
