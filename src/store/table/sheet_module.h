#pragma once

#include "store/workbook/workbook.h"

#include <exception>
#include <sqlite3.h>
#include <stdexcept>
#include <vector>

namespace tomorine {

// A statement a sheet table refuses to carry out (a DELETE, a rowid change).
class TableRefusal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What the sheet tables of one connection share with the connection.
struct TableSession {
    Workbook* book = nullptr;
    // The first C++ exception thrown inside a table callback while a
    // statement ran; the connection rethrows a WorkbookError unchanged in
    // place of SQLite's text and turns a TableRefusal into a statement error.
    std::exception_ptr error;
    // Set when a statement that changed a cell has committed.
    bool changed = false;
};

// Registers the virtual-table module over `session.book` and creates one
// table per sheet, named sheet name + "$" (see TableColumns for its columns).
// Rows are sheet rows 2 to the last used row, rowid = sheet row. INSERT
// appends a row after the last used row, UPDATE rewrites the cells it sets,
// DELETE is refused. Each statement keeps an undo log per sheet and puts the
// sheet back when SQLite rolls the statement back. Returns SQLite's result
// code; the session must outlive the database.
int CreateSheetTables(sqlite3* db, TableSession& session);

} // namespace tomorine
