#pragma once

#include "store/workbook/workbook.h"

#include <filesystem>

namespace tomorine {

// A workbook holding only the entry sheet: the 58 column names in row 1 and
// the dummy row in row 2 (serial 0, "dummy" in the URL columns, "ダミー" in
// the other text columns, deleted flag 1), which gives every column its kind
// and keeps itself out of every search.
Workbook NewDataWorkbook();

// Fills rows 1 and 2 of a sheet as a new data workbook has them.
void WriteHeaderAndDummyRows(Sheet& sheet);

// Writes a new data workbook at `path`. Refuses to replace an existing file;
// throws WorkbookError (a missing folder fails in the save).
void CreateDataWorkbook(const std::filesystem::path& path);

} // namespace tomorine
