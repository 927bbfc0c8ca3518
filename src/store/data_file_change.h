#pragma once

#include "store/table/connection.h"
#include "store/workbook/workbook.h"

#include <filesystem>
#include <functional>

namespace tomorine {

// The one way to change a data file: one writer at a time, every change
// based on the file as it is.
//
// ChangeDataWorkbook and ChangeDataFileByConnection
//  1. take DataFileLock on `dataFile` (another writer, in this process or
//     another, is waited for up to 5 s; then a WorkbookError naming the file
//     is thrown and nothing is done);
//  2. get the workbook as the file holds it now: the one DataWorkbookCache
//     keeps when the file has not changed, else read afresh;
//  3. run the caller's change on it, still under the lock: the serial of a
//     new entry (NextSerial on the connection) is taken here, never before;
//  4. save it atomically (temporary file beside it, renamed over it) when
//     the change asks for it, before the lock is released, and keep the
//     saved workbook for the next command.
// When the change or the save throws, the error reaches the caller, nothing
// is saved and the file is as it was; the half-changed workbook is dropped.
// Calls nest within one thread (the lock is counted), but a nested call
// saves on its own. The change must not save the data file itself, nor show
// windows or wait for the user: other writers wait meanwhile.

// `change` edits the workbook and returns whether there is anything to save.
// Returns that answer.
bool ChangeDataWorkbook(const std::filesystem::path& dataFile,
                        const std::function<bool(Workbook&)>& change);

// `run` reads and writes through a connection over the workbook (do not
// close it). The workbook is saved when a write changed a cell. Returns
// whether it was.
bool ChangeDataFileByConnection(const std::filesystem::path& dataFile,
                                const std::function<void(Connection&)>& run);

} // namespace tomorine
