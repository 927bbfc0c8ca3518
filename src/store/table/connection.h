#pragma once

#include "store/table/sheet_rows.h"
#include "store/workbook/workbook.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tomorine {

// One .xls workbook opened by path, its sheets read and written as tables.
// A sheet's columns are the texts of row 1 (see TableColumns), found without
// ASCII case; a column's kind (number or text) is that of its first data
// row, fixed when the sheet is first used. A written text is stored as
// StoreAs gives it: an empty text as an empty cell (read as Null), a number's
// text in a number column as a number. Rows come in sheet order; each write
// is all or nothing.
//
// The workbook is read when the connection opens (a file that has not
// changed since it was last read is taken from DataWorkbookCache). Writes
// reach the file only through close(): one atomic save, and none when
// nothing changed. A connection destroyed without close() discards its
// changes. One thread at a time may use a connection.
class Connection {
public:
    // Opens the workbook at `path`; throws the reader's WorkbookError.
    explicit Connection(const std::filesystem::path& path);
    // Works on a workbook already in memory; close() writes it to `path`.
    Connection(std::filesystem::path path, Workbook book);
    // Works on `book` in place: writes change *book, close() saves it. The
    // caller keeps the workbook as the writes left it.
    Connection(std::filesystem::path path, std::shared_ptr<Workbook> book);
    // Reads a workbook that others share and nobody changes (a kept one, see
    // WorkbookCache): the first write works on a copy.
    Connection(std::filesystem::path path, std::shared_ptr<const Workbook> book);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The rows of a sheet as they lie, its columns as fixed when the sheet
    // was first used; valid until the next write. A WorkbookError naming the
    // file and sheet when there is none, and (from SheetRows::column) the
    // column when there is no such column.
    SheetRows rows(std::u16string_view sheet);
    // Appends a row whose columns named `columns` take `texts`, the others
    // left empty. A full sheet throws the sheet's WorkbookError.
    void insert(std::u16string_view sheet, const std::vector<std::u16string>& columns,
                const std::vector<std::u16string>& texts);
    // Sets the named columns of the given sheet rows to `texts`.
    void update(std::u16string_view sheet, const std::vector<int>& rows,
                const std::vector<std::u16string>& columns,
                const std::vector<std::u16string>& texts);

    // Saves when a write changed the workbook, then releases it. Closing a
    // closed connection does nothing. When the save fails the error is
    // thrown, the file is as it was and the connection stays open with its
    // changes, so that close() may be tried again.
    void close();

    bool isOpen() const;
    bool changed() const;
    const std::filesystem::path& path() const;
    // The workbook as the writes left it; empty once closed.
    const Workbook& workbook() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace tomorine
