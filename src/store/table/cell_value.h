#pragma once

#include "store/table/table_columns.h"
#include "store/workbook/cell.h"

#include <optional>
#include <string>
#include <string_view>

namespace tomorine {

// The value of a whole text that is a decimal number ("7", "-1.5", " 2e3 ");
// nothing for other texts, hexadecimal, infinities and NaN.
std::optional<double> ParseNumber(std::string_view text);

// The value a cell reads as in a column of the given kind. Text column:
// empty cell, empty text and errors are Null (an empty Cell); a number is its
// FormatNumber text, a boolean TRUE or FALSE. Number column: a number (a
// -0 as 0), a text that parses as a number that number, all else Null.
Cell ReadAs(const Cell& cell, ColumnKind kind);

// The cell a text is stored as in a column of the given kind: '' clears the
// cell, a text that parses as a number is a number in a number column and a
// text elsewhere.
Cell StoreAs(std::u16string_view text, ColumnKind kind);

} // namespace tomorine
