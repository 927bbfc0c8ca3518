#pragma once

#include "store/workbook/cell.h"

#include <string>
#include <vector>

namespace tomorine {

// One worksheet. Rows and columns are 1-based, as Excel numbers them, so that
// a row number in code is the one the user sees in the data file.
// Storage is trimmed: no row after the last used row, no cell after the last
// used cell of its row.
class Sheet {
public:
    static constexpr int MaxRows = 65536;
    static constexpr int MaxColumns = 256;
    using Row = std::vector<Cell>;

    explicit Sheet(std::u16string name) : name_(std::move(name)) {}

    const std::u16string& name() const { return name_; }

    // An empty cell for any position outside the used range.
    const Cell& cell(int row, int column) const;
    // Throws WorkbookError (SheetRule) for a position beyond the format's limits.
    void setCell(int row, int column, Cell value);

    // Row number of the last used cell; 0 for an empty sheet.
    int lastUsedRow() const { return static_cast<int>(rows_.size()); }
    int lastUsedColumn() const;
    // The used cells of a row (possibly shorter than other rows); empty
    // beyond the used range.
    const Row& row(int row) const;

    // Removes a row; the rows below move up by one.
    void deleteRow(int row);
    // Puts a whole row after the last used row and returns its number.
    // Throws WorkbookError (SheetRule) when the sheet is full.
    int appendRow(Row cells);
    // Replaces a row's cells (trailing empty cells are trimmed).
    void replaceRow(int row, Row cells);

    // The codec's bookkeeping, beside the workbook's StoredForm: this sheet's
    // number in it (0: none), and for a row the row there whose records
    // still say what the row holds (0 once it changed, or for a new row).
    int storedSheet() const { return storedSheet_; }
    int storedRow(int row) const {
        return row >= 1 && row <= static_cast<int>(storedRows_.size()) ? storedRows_[row - 1] : 0;
    }
    // Every row is as row of the same number of stored sheet `index` (0: none).
    void markStored(int index) const;

private:
    friend class Workbook;
    void trim();
    void changed(int row) {
        if (row >= 1 && row <= static_cast<int>(storedRows_.size())) {
            storedRows_[row - 1] = 0;
        }
    }

    std::u16string name_;
    std::vector<Row> rows_;
    mutable std::vector<int> storedRows_;
    mutable int storedSheet_ = 0;
};

} // namespace tomorine
