#pragma once

#include "store/table/recordset.h"
#include "store/table/sheet_rows.h"

#include <filesystem>
#include <functional>
#include <memory>

namespace tomorine {

// The entry sheet; a WorkbookError naming `file` when there is none.
const Sheet& EntrySheet(const Workbook& book, const std::filesystem::path& file);

// The live entries of a data workbook (削除 reads 0), in sheet order, that
// `keep` (when given) also keeps, as a recordset over `book`. `file` names
// the workbook in errors: a missing entry sheet or column.
Recordset LiveEntries(std::shared_ptr<const Workbook> book, const std::filesystem::path& file,
                      const std::function<bool(const SheetRows&, int row)>& keep = {});

// The same on the data file as it is now (a kept copy when unchanged).
Recordset LiveEntries(const std::filesystem::path& dataFile);

} // namespace tomorine
