#pragma once

#include "store/workbook/sheet.h"

#include <string>
#include <vector>

namespace tomorine {

enum class ColumnKind { Number, Text };

struct TableColumn {
    std::u16string name;
    ColumnKind kind;
};

// The columns a sheet shows as a table, one per sheet column up to the last
// used column of any row (at least one).
// Name: the text of row 1; a number as FormatNumber, a boolean TRUE/FALSE, an
// error its "#N/A"-style text; an empty cell or text (or one holding U+0000)
// gives "F" + column number. A name already used by an earlier column
// (compared without ASCII case, as SQLite does) gets the smallest suffix 2, 3 …
// that makes it differ from every other name of the sheet.
// Kind: Number when the cell in row 2 is a number, otherwise Text.
std::vector<TableColumn> TableColumns(const Sheet& sheet);

// The table name of a sheet in statements: sheet name + "$".
std::u16string TableName(const Sheet& sheet);

// "CREATE TABLE x(...)" as sqlite3_declare_vtab wants it: numeric columns
// have NUMERIC affinity, text columns TEXT, so that "削除 = 0" compares
// numbers and "URL1 = 5" texts.
std::string DeclareTableSql(const std::vector<TableColumn>& columns);

// Identifier quoted for SQLite: "name" with inner quotes doubled.
std::string QuoteIdentifier(const std::u16string& name);

} // namespace tomorine
