#pragma once

#include "store/entry.h"
#include "store/table/connection.h"
#include "store/table/recordset.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tomorine {

// The data workbook in use, shared by the windows.
struct StoreState {
    std::filesystem::path dataFilePath; // absolute path of the data workbook in use
    std::int32_t currentSerial = 0;     // the entry the editor works on
};

// The highest serial of the entry sheet, 0 when it holds none. Works on a
// connection of its own and closes it before returning.
std::int32_t QueryMaxSerial(const std::filesystem::path& dataFile);
// The same on an open connection (within ChangeDataFileByConnection, say).
std::int32_t QueryMaxSerial(Connection& connection);

// The serial of a new entry: QueryMaxSerial + 1. Throws WorkbookError when
// the highest serial is already the largest a serial can be. A serial taken
// from the file is only safe to use while the caller holds DataFileLock from
// this call to the save of the new row: better take it on the connection
// that inserts the row, inside ChangeDataFileByConnection.
std::int32_t NextSerial(const std::filesystem::path& dataFile);
std::int32_t NextSerial(Connection& connection);

// The entry sheet's rows whose serial is `serial`, in sheet order, deleted
// ones and the dummy row included.
std::vector<int> RowsOfSerial(const SheetRows& rows, std::int32_t serial);

// Appends an entry row: the serial, the 56 chunk texts as ChunkValues gives
// them, 削除 0.
void InsertEntry(Connection& connection, std::int32_t serial,
                 const std::vector<std::u16string>& chunks);

// Rewrites every row of the serial with the entry (削除 0 again). Returns
// how many rows carry the serial.
int UpdateEntry(Connection& connection, std::int32_t serial, const Entry& entry);
// The same through ChangeDataFileByConnection: under DataFileLock, on the
// file as it is, saved atomically when a cell changed.
int UpdateEntry(const std::filesystem::path& dataFile, std::int32_t serial, const Entry& entry);

} // namespace tomorine
