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
// (compared without ASCII case) gets the smallest suffix 2, 3 …
// that makes it differ from every other name of the sheet.
// Kind: Number when the cell in row 2 is a number, otherwise Text.
std::vector<TableColumn> TableColumns(const Sheet& sheet);

} // namespace tomorine
