#pragma once

#include "upgrade/upgrade_context.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tomorine {

// Why a conflict copy is left where it is.
enum class CopyProblem {
    None,
    Unreadable, // not a workbook, damaged, not readable, gone
    OldLayout,  // a data file of the 0104 layout
    NotOurs,    // another program's workbook
};

struct ConflictCopy {
    std::filesystem::path file;
    CopyProblem problem = CopyProblem::None;
    std::string reason; // UTF-8, naming the file; empty without a problem
    int entries = 0;    // entry rows of the copy
    int newEntries = 0; // of them, those the merge would add now
};

// Reads each copy and counts, by the merge's own select, the entries it
// would add to `dataFile` as it is now. Nothing is written. A copy that
// cannot be merged carries its problem; a data file that cannot be read
// throws its WorkbookError.
std::vector<ConflictCopy> InspectConflictCopies(const std::filesystem::path& dataFile,
                                                const std::vector<std::filesystem::path>& copies,
                                                const WorkbookIo& io = WorkbookIo::Files());

struct MergedCopy {
    std::filesystem::path file;
    std::filesystem::path movedTo; // under conflicts/; empty when the copy stayed
    int added = 0;
    std::string error; // UTF-8; empty when merged and moved
};

// Merges each copy into the data file (MergeReferenceData: all or nothing,
// under the data file's lock) and then moves it, still under the lock, into
// the folder "conflicts" beside the data file under its own name, or
// "name (2).xls" … when that is taken; nothing is overwritten or deleted. A
// copy that cannot be merged stays where it is with its reason, and the
// others go on. A data file that cannot be read stops the run: every copy
// not yet merged gets that as its error.
std::vector<MergedCopy> MergeConflictCopies(UpgradeContext& context,
                                            const std::vector<std::filesystem::path>& copies);

} // namespace tomorine
