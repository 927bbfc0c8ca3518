#pragma once

#include "store/table/recordset.h"
#include "store/workbook/workbook.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace tomorine {

// Runs statement texts against the sheets of one .xls workbook, in place of
// the spreadsheet's database driver. Each sheet is a table "[name$]" whose
// columns are the texts of row 1 (see TableColumns); a column's kind (number
// or text) is that of its first data row, fixed when the connection opens.
// An empty text literal is stored as an empty cell (reads Null); a quoted
// number written to a number column is a number; rows come back in sheet
// order. Statements run on SQLite in memory over the workbook model, one
// statement at a time, each one all or nothing. Queries, INSERT and UPDATE
// run; DELETE, transactions and schema statements are refused.
//
// The workbook is read when the connection opens (a file that has not
// changed since it was last read is taken from DataWorkbookCache). Writes reach the file only
// through close(): one atomic save, and none when nothing changed. A
// connection destroyed without close() discards its changes. One thread at a
// time may use a connection.
class Connection {
public:
    // Opens the workbook at `path`; throws the reader's WorkbookError.
    explicit Connection(const std::filesystem::path& path);
    // Works on a workbook already in memory; close() writes it to `path`.
    Connection(std::filesystem::path path, Workbook book);
    // Works on `book` in place: statements change *book, close() writes it.
    // The caller keeps the workbook as the statements left it, also after a
    // failure (a statement is all or nothing, a sequence of them is not).
    Connection(std::filesystem::path path, std::shared_ptr<Workbook> book);
    // Reads a workbook that others share and nobody changes (a kept one, see
    // WorkbookCache): the first statement that writes works on a copy.
    Connection(std::filesystem::path path, std::shared_ptr<const Workbook> book);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Runs one statement. A statement that returns rows gives an open
    // recordset holding all of them; any other a closed recordset. Errors: a
    // WorkbookError raised by the workbook (a full sheet, say) unchanged;
    // otherwise ErrorNumber::Statement naming the file, the sheet or column
    // concerned and SQLite's reason. A failed statement changes nothing.
    Recordset execute(std::u16string_view statement);

    // Rows the last statement inserted or updated; 0 after a query.
    int rowsChanged() const;

    // Saves when a statement changed the workbook, then releases it.
    // Closing a closed connection does nothing. When the save fails the
    // error is thrown, the file is as it was and the connection stays open
    // with its changes, so that close() may be tried again.
    void close();

    bool isOpen() const;
    bool changed() const;
    const std::filesystem::path& path() const;
    // The workbook as the statements left it; empty once closed.
    const Workbook& workbook() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace tomorine
