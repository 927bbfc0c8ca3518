#include "store/xls/sheet_builder.h"

#include "store/xls/xls_fault.h"

#include <algorithm>
#include <limits>

namespace tomorine::xls {

namespace {
constexpr std::size_t kBaseBudget = std::size_t{32} << 20;
constexpr std::size_t kBudgetPerFileByte = 32;
constexpr std::size_t kMaxReservedCells = 64;
} // namespace

CellBudget::CellBudget(std::size_t fileSize)
    : left_(fileSize > (std::numeric_limits<std::size_t>::max() - kBaseBudget) / kBudgetPerFileByte
                ? std::numeric_limits<std::size_t>::max()
                : kBaseBudget + kBudgetPerFileByte * fileSize) {}

void CellBudget::charge(std::size_t bytes) {
    if (bytes > left_) {
        Fail(FaultKind::Corrupt, "セルの範囲がファイルの大きさに比べて大きすぎます");
    }
    left_ -= bytes;
}

void SheetBuilder::put(std::uint16_t row, std::uint16_t column, Cell value) {
    if (column >= Sheet::MaxColumns) {
        Fail(FaultKind::Corrupt, "行 " + std::to_string(row + 1) + " のセルの列番号 " +
                                     std::to_string(column + 1) + " が 256 を越えています");
    }
    if (row >= rows_.size()) {
        budget_.charge((row + 1 - rows_.size()) * sizeof(Sheet::Row));
        if (row >= rows_.capacity()) {
            // Grow as a vector does, but never past the format's last row.
            rows_.reserve(std::min<std::size_t>(
                Sheet::MaxRows, std::max<std::size_t>(row + 1, 2 * rows_.capacity())));
        }
        rows_.resize(row + std::size_t{1});
    }
    Sheet::Row& cells = rows_[row];
    if (column >= cells.size()) {
        budget_.charge((column + 1 - cells.size()) * sizeof(Cell));
        // Rows of a sheet tend to be as wide as each other: sized once. The
        // slack is small and bounded (kMaxReservedCells a row).
        widest_ = std::max<std::size_t>(widest_, column + std::size_t{1});
        if (cells.capacity() < widest_ && widest_ <= kMaxReservedCells) {
            cells.reserve(widest_);
        }
        cells.resize(column + std::size_t{1});
    }
    cells[column] = std::move(value);
}

void SheetBuilder::moveInto(Sheet& sheet) {
    // Last row first: the sheet's row table is sized once, not grown by doubling.
    for (std::size_t i = rows_.size(); i-- > 0;) {
        if (!rows_[i].empty()) {
            sheet.replaceRow(static_cast<int>(i) + 1, std::move(rows_[i]));
        }
    }
    rows_.clear();
}

} // namespace tomorine::xls
