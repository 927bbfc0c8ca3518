#pragma once

#include "search/search_texts.h"

#include <filesystem>
#include <functional>

namespace tomorine {

class Recordset;

// Called after each row: rows done so far and rows in all.
using HtmlProgress = std::function<void(long done, long total)>;

// Writes the page for the rows of `rows`, from its first to its end, that
// match `texts`: the header, one entry block per matching row, the footer,
// in CP932. One block is built at a time and the file is written through a
// small buffer, so memory does not grow with the number of entries. The page
// replaces `outputPath` atomically: on any failure (a row that cannot be
// read, a missing folder, no permission, a full disk, a folder of that name)
// a WorkbookError is thrown and an existing file is left as it was. Returns
// the number of entries written.
int WriteHtmlPage(Recordset& rows, const SearchTexts& texts, bool withComments,
                  const std::filesystem::path& outputPath, const HtmlProgress& progress = {});

} // namespace tomorine
