#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tomorine {

// An entry the check found dead: its serial and the URL that was checked.
struct DeadEntry {
    std::int32_t serial = 0;
    std::u16string url;
};

// Removes the rows of the given entries from the entry sheet (rows below
// move up) and saves the workbook once, atomically, holding the data file's
// lock from the read to the save. A row is found by the whole value of its
// serial cell and removed only while it still holds the URL that was
// checked: an entry changed or removed since is left alone. Returns the
// serials removed, in the order given; with none, the file is not written.
// Throws WorkbookError when the workbook cannot be read or saved; the file
// is then as it was.
std::vector<std::int32_t> DeleteDeadEntries(const std::filesystem::path& dataFile,
                                            const std::vector<DeadEntry>& entries);

} // namespace tomorine
