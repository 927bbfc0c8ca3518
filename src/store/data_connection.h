#pragma once

#include "store/table/connection.h"
#include "store/table/recordset.h"

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace tomorine {

// The data workbook in use, shared by the windows.
struct StoreState {
    std::filesystem::path dataFilePath; // absolute path of the data workbook in use
    std::int32_t currentSerial = 0;     // the entry the editor works on
};

// The highest serial of the entry sheet, 0 when it holds none. Works on a
// connection of its own and closes it before returning.
std::int32_t QueryMaxSerial(const std::filesystem::path& dataFile);
// The same on an open connection (within ChangeDataFileByStatements, say).
std::int32_t QueryMaxSerial(Connection& connection);

// The serial of a new entry: QueryMaxSerial + 1. Throws WorkbookError when
// the highest serial is already the largest a serial can be. A serial taken
// from the file is only safe to use while the caller holds DataFileLock from
// this call to the save of the new row: better take it on the connection
// that inserts the row, inside ChangeDataFileByStatements.
std::int32_t NextSerial(const std::filesystem::path& dataFile);
std::int32_t NextSerial(Connection& connection);

// Runs one statement on the data file through ChangeDataFileByStatements
// (under DataFileLock, on the file as it is, saved atomically when the
// statement changed it). Returns the rows it inserted or updated.
int ExecuteOnDataFile(const std::filesystem::path& dataFile, std::u16string_view statement);

} // namespace tomorine
