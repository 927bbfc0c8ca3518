#pragma once

#include "store/workbook/workbook.h"

#include <filesystem>

namespace tomorine {

// The keyword work sheet lives only in memory, so showing the list never
// rewrites the data file. Only a sheet left in the file by an interrupted
// run of an older version is removed there.

// Removes the keyword sheet from the data file: read and atomic save under
// the data file's lock. A file without the sheet is not touched. Never fails
// to its caller: false when nothing was removed, for whatever reason.
bool DeleteKeywordSheet(const std::filesystem::path& dataFile) noexcept;

// Adds to a workbook in memory an empty keyword sheet, its header "keyword"
// in the first cell, in place of any sheet of that name it held.
void CreateKeywordSheet(Workbook& book);

} // namespace tomorine
