#pragma once

#include "store/table/recordset.h"
#include "store/table/table_columns.h"
#include "store/workbook/workbook.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

namespace tomorine {

// A sheet's rows as a table (rows 2 to the last used row, each cell as
// ReadAs gives it), for engines that pick rows in C++.
class SheetRows {
public:
    // `file` only names the workbook in errors.
    SheetRows(const Sheet& sheet, std::filesystem::path file);
    // With the columns fixed earlier (see TableColumns).
    SheetRows(const Sheet& sheet, std::filesystem::path file, std::vector<TableColumn> columns);

    // Index of a column by name, without ASCII case; a WorkbookError naming
    // the file, sheet and column when there is none.
    int column(std::u16string_view name) const;
    const std::vector<TableColumn>& columns() const { return columns_; }
    int firstRow() const { return 2; }
    int lastRow() const { return sheet_.lastUsedRow(); }
    // The value of a sheet row's cell in a zero-based column, as read.
    Cell value(int row, int column) const;
    // The same cell as stored, before ReadAs: for tests that need no copy.
    const Cell& stored(int row, int column) const { return sheet_.cell(row, column + 1); }
    // Whether the cell equals an integer as a table compares them: a number
    // column reads that number, a text one its decimal text.
    bool is(int row, int column, std::int64_t number) const;

    // The given sheet rows as a recordset, in that order. Rows whose cells
    // read as they are stored are read in place; `book`, which owns the sheet,
    // must not change while the recordset lives.
    Recordset select(std::shared_ptr<const Workbook> book, const std::vector<int>& rows) const;

private:
    const Sheet& sheet_;
    std::filesystem::path file_;
    std::vector<TableColumn> columns_;
};

} // namespace tomorine
