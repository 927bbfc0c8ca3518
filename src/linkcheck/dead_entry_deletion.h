#pragma once

#include "linkcheck/link_targets.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace tomorine {

struct DeadEntryDeletion {
    std::vector<std::int32_t> deleted; // in the order given
    std::vector<std::int32_t> changed; // left alone: changed or removed since the check
};

// Removes the rows of the given entries from the entry sheet (rows below
// move up) and saves the workbook once, atomically, holding the data file's
// lock from the read to the save. A row is found by the whole value of its
// serial cell and removed only while every entry column still holds what
// the check read: an entry edited, marked or removed since is left alone.
// With nothing to remove, the file is not written. Throws WorkbookError when
// the workbook cannot be read or saved; the file is then as it was.
DeadEntryDeletion DeleteDeadEntries(const std::filesystem::path& dataFile,
                                    const std::vector<LinkTarget>& entries);

} // namespace tomorine
