#include "store/workbook/sheet.h"

#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"

namespace tomorine {

namespace {

const Cell kEmptyCell;
const Sheet::Row kEmptyRow;

void TrimRow(Sheet::Row& row) {
    while (!row.empty() && row.back().isEmpty()) {
        row.pop_back();
    }
}

} // namespace

const Cell& Sheet::cell(int row, int column) const {
    if (row < 1 || row > lastUsedRow() || column < 1) {
        return kEmptyCell;
    }
    const Row& r = rows_[row - 1];
    return column <= static_cast<int>(r.size()) ? r[column - 1] : kEmptyCell;
}

void Sheet::setCell(int row, int column, Cell value) {
    if (row < 1 || row > MaxRows || column < 1 || column > MaxColumns) {
        throw WorkbookError(WorkbookFault::SheetRule,
                            "シート「" + ToUtf8(name_) + "」のセル (" + std::to_string(row) + ", " +
                                std::to_string(column) + ") は範囲外です");
    }
    if (value.isEmpty() && row > lastUsedRow()) {
        return;
    }
    if (row > lastUsedRow()) {
        rows_.resize(row);
    }
    Row& r = rows_[row - 1];
    if (column > static_cast<int>(r.size())) {
        if (value.isEmpty()) {
            return;
        }
        r.resize(column);
    }
    r[column - 1] = std::move(value);
    TrimRow(r);
    changed(row);
    trim();
}

int Sheet::lastUsedColumn() const {
    size_t widest = 0;
    for (const Row& r : rows_) {
        widest = std::max(widest, r.size());
    }
    return static_cast<int>(widest);
}

const Sheet::Row& Sheet::row(int row) const {
    return row >= 1 && row <= lastUsedRow() ? rows_[row - 1] : kEmptyRow;
}

void Sheet::deleteRow(int row) {
    if (row >= 1 && row <= lastUsedRow()) {
        rows_.erase(rows_.begin() + (row - 1));
        if (row <= static_cast<int>(storedRows_.size())) {
            storedRows_.erase(storedRows_.begin() + (row - 1));
        }
        trim();
    }
}

int Sheet::appendRow(Row cells) {
    if (lastUsedRow() >= MaxRows) {
        throw WorkbookError(WorkbookFault::SheetRule, "シート「" + ToUtf8(name_) + "」は最大行数 " +
                                                          std::to_string(MaxRows) +
                                                          " 行に達しています");
    }
    if (cells.size() > static_cast<size_t>(MaxColumns)) {
        cells.resize(MaxColumns);
    }
    TrimRow(cells);
    rows_.push_back(std::move(cells));
    int number = lastUsedRow();
    trim();
    return number;
}

void Sheet::replaceRow(int row, Row cells) {
    if (row < 1 || row > MaxRows) {
        throw WorkbookError(WorkbookFault::SheetRule, "シート「" + ToUtf8(name_) + "」の行 " +
                                                          std::to_string(row) + " は範囲外です");
    }
    if (cells.size() > static_cast<size_t>(MaxColumns)) {
        cells.resize(MaxColumns);
    }
    TrimRow(cells);
    if (row > lastUsedRow()) {
        if (cells.empty()) {
            return;
        }
        rows_.resize(row);
    }
    rows_[row - 1] = std::move(cells);
    changed(row);
    trim();
}

void Sheet::markStored(int index) const {
    storedSheet_ = index;
    storedRows_.resize(index == 0 ? 0 : rows_.size());
    for (std::size_t r = 0; r < storedRows_.size(); ++r) {
        storedRows_[r] = static_cast<int>(r + 1);
    }
}

void Sheet::trim() {
    while (!rows_.empty() && rows_.back().empty()) {
        rows_.pop_back();
    }
    if (storedSheet_ != 0) {
        storedRows_.resize(rows_.size(), 0);
    }
}

} // namespace tomorine
