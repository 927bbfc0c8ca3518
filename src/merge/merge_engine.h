#pragma once

#include "store/workbook/workbook_error.h"
#include "upgrade/upgrade_context.h"

#include <filesystem>

namespace tomorine {

struct MergeResult {
    int added = 0; // entries added to the data workbook
};

// The data workbook itself could not be read (or its old "tmp" removed):
// unlike a bad reference, no other reference can be merged either.
class DataWorkbookUnreadable : public WorkbookError {
public:
    using WorkbookError::WorkbookError;
};

// Adds to the data workbook (context.store.DataFilePath) every entry of the
// reference workbook's entry sheet that it does not hold yet, in three
// stages on one workbook in memory: the reference sheet is copied in as
// "tmp" (after the removal of an old "tmp"), the merge's select picks the
// rows of "tmp" that no entry row holds and one insert a row adds each under
// the next serial, and "tmp" is deleted again. The data workbook is saved
// once at the end (not at all when nothing changed); the reference is only
// read.
//
// All or nothing: any failure (the reference unreadable or of another
// layout, the entry sheet full, the serials exhausted, the save refused)
// throws its WorkbookError (DataWorkbookUnreadable for the data workbook)
// and leaves the data file as it was. The data
// file's lock is held from its read to its save. Closes the module
// connection first; clears HasSearchResult.
MergeResult MergeReferenceData(UpgradeContext& context, const std::filesystem::path& reference);

// How many entries the merge would add from `reference` (read from
// `referenceFile`) to `data` (the workbook of `dataFile`): the same select,
// in memory only. Throws as the merge does for a reference it refuses.
int CountMergeableEntries(const std::filesystem::path& dataFile, Workbook data,
                          const Workbook& reference, const std::filesystem::path& referenceFile);

} // namespace tomorine
