#pragma once

#include "store/workbook/workbook_error.h"
#include "upgrade/upgrade_context.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tomorine {

// The 56 text columns the merge compares and copies: URL1 … URL16,
// タイトル1 … 4, サブタイトル1 … 4, コメント1 … 16, キーワード1 … 16.
const std::vector<std::u16string>& MergeColumnNames();

struct MergeResult {
    int added = 0; // entries added to the data workbook
};

// The data workbook itself could not be read (or its old "tmp" removed):
// unlike a bad reference, no other reference can be merged either.
class DataWorkbookUnreadable : public WorkbookError {
public:
    using WorkbookError::WorkbookError;
};

// Adds to the data workbook (context.store.dataFilePath) every entry of the
// reference workbook's entry sheet that it does not hold yet (UnheldRows
// over MergeColumnNames), in reference order under the next serials, 削除 0,
// each text column as the reference stores it. A "tmp" work sheet an older
// version left is removed. The data workbook is saved once at the end (not
// at all when nothing changed); the reference is only read.
//
// All or nothing: any failure (the reference unreadable or of another
// layout, the entry sheet full, the serials exhausted, the save refused)
// throws its WorkbookError (DataWorkbookUnreadable for the data workbook)
// and leaves the data file as it was. The data file's lock is held from its
// read to its save.
MergeResult MergeReferenceData(UpgradeContext& context, const std::filesystem::path& reference);

// How many entries the merge would add from `reference` (read from
// `referenceFile`) to `data` (the workbook of `dataFile`). Throws as the
// merge does for a reference it refuses.
int CountMergeableEntries(const std::filesystem::path& dataFile, const Workbook& data,
                          const Workbook& reference, const std::filesystem::path& referenceFile);

} // namespace tomorine
