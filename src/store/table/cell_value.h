#pragma once

#include "store/table/table_columns.h"
#include "store/workbook/cell.h"

#include <optional>
#include <sqlite3.h>
#include <string>
#include <string_view>

namespace tomorine {

// The value of a whole text that is a decimal number ("7", "-1.5", " 2e3 ");
// nothing for other texts, hexadecimal, infinities and NaN.
std::optional<double> ParseNumber(std::string_view text);

// Sets the SQL value a cell reads as in a column of the given kind.
// Text column: empty cell, empty text and errors are Null; a number is its
// FormatNumber text, a boolean TRUE or FALSE. Number column: a number (an
// integer when integral), a text that parses as a number that number, all
// else Null. `buffer` is scratch space reused across calls; true when the
// result is the text it now holds.
bool SetResult(sqlite3_context* context, const Cell& cell, ColumnKind kind, std::string& buffer);

// The cell a SQL value is stored as in a column of the given kind: Null and
// '' clear the cell, numbers are numbers, a text that parses as a number is a
// number in a number column and a text elsewhere, every other text a text.
Cell CellFromValue(sqlite3_value* value, ColumnKind kind);

} // namespace tomorine
