#pragma once

#include <cstdint>
#include <filesystem>

namespace tomorine {

// Removes the first entry row (row 3 onwards: never the header or the dummy
// row) whose column-1 cell is exactly `serial` (never a cell that merely
// contains its digits) and moves the rows below it up, then saves atomically, all under
// DataFileLock on the file as it is (ChangeDataWorkbook). False when no row
// holds the serial; the file is then not written. Throws WorkbookError when the workbook cannot be
// read or saved; the file is then as it was.
bool DeleteEntryBySerial(const std::filesystem::path& dataFile, std::int32_t serial);

} // namespace tomorine
