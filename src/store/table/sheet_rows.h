#pragma once

#include "store/table/recordset.h"
#include "store/table/table_columns.h"
#include "store/workbook/workbook.h"

#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

namespace tomorine {

// A sheet's rows as a statement over its table reads them (rows 2 to the
// last used row, each cell as ReadAs gives it), for engines that pick rows
// in C++ instead of writing a statement for SQLite to parse.
class SheetRows {
public:
    // `file` only names the workbook in errors.
    SheetRows(const Sheet& sheet, std::filesystem::path file);

    // Index of a column by name, without ASCII case; a WorkbookError naming
    // the file, sheet and column when there is none.
    int column(std::u16string_view name) const;
    const std::vector<TableColumn>& columns() const { return columns_; }
    int firstRow() const { return 2; }
    int lastRow() const { return sheet_.lastUsedRow(); }
    // The value of a sheet row's cell in a zero-based column, as read.
    Cell value(int row, int column) const;
    // "column = 0" of a statement: a number column reads 0, a text one "0".
    bool isZero(int row, int column) const;

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
