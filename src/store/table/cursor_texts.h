#pragma once

#include "store/table/table_columns.h"
#include "store/workbook/cell.h"

#include <sqlite3.h>
#include <string>
#include <vector>

namespace tomorine {

// A correlated subquery (the merge's NOT EXISTS) scans the inner table once
// per outer row and reads the outer row's cell once per inner row. These two
// classes keep texts converted to UTF-8 so that each cell is converted about
// once per statement instead of once per outer row.

// The text cells of one table kept for the running statement, once the
// table is scanned a second time in it. Cleared when the statement ends and
// when the table is written.
class KeptTexts {
public:
    void startScan() { ++scans_; }
    bool active() const { return scans_ >= 2; }
    // Sets the value of a cell of a text column as SetResult does.
    void setResult(sqlite3_context* context, const Cell& cell, int row, int column,
                   std::string& scratch);
    void clear();

private:
    struct Column {
        std::vector<std::string> texts; // by sheet row
        std::vector<signed char> state; // 0 not yet read, 1 text kept, -1 no text
    };

    int scans_ = 0;
    std::vector<Column> columns_;
};

// The values one cursor hands to SQLite: the text cell it read last is kept
// until the cursor moves or the table is written (`generation` changes).
class CursorTexts {
public:
    // Sets the value of `cell` (sheet row `row`, zero-based `column`) as
    // SetResult does.
    void setResult(sqlite3_context* context, const Cell& cell, int row, int column, ColumnKind kind,
                   KeptTexts& kept, unsigned generation);

private:
    std::string buffer_;
    int bufferRow_ = 0;
    int bufferColumn_ = -1;
    unsigned generation_ = 0;
};

} // namespace tomorine
