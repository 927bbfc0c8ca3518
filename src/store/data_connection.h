#pragma once

#include "store/table/connection.h"
#include "store/table/recordset.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>

namespace tomorine {

// The program's connection to its data workbook, shared by the windows. A
// search leaves the module connection and its result recordset open; every
// command that writes closes them first (CloseDataConnection).
struct StoreState {
    std::filesystem::path DataFilePath; // absolute path of the data workbook in use
    std::unique_ptr<Connection> ModuleConnection;
    std::unique_ptr<Recordset> ModuleRecordset;
    bool ConnectionOpen = false;    // the module connection and recordset may be open
    bool HasSearchResult = false;   // the last search listed at least one entry
    std::int32_t CurrentSerial = 0; // the entry the editor works on
};

// Closes the module recordset (clearing HasSearchResult) and connection when
// ConnectionOpen is set; releases both in every case. Leaves ConnectionOpen
// to the caller. The module connection never writes, so nothing is saved.
void CloseDataConnection(StoreState& state);

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
