#include "merge/unheld_rows.h"

#include "store/workbook/utf.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <unordered_map>

namespace tomorine {

namespace {

// A compared value as text (a number as it reads as text); Null is empty.
Cell Compared(const SheetRows& rows, int row, int column) {
    Cell value = rows.value(row, column);
    return value.kind() == CellKind::Number ? Cell::text(FormatNumber(value.asNumber())) : value;
}

// The entries' compared values, row by row, with an index per column.
class Entries {
public:
    Entries(const SheetRows& rows, const std::vector<int>& columns)
        : width_(columns.size()), index_(columns.size()) {
        for (int r = rows.firstRow(); r <= rows.lastRow(); ++r) {
            for (int column : columns) {
                cells_.push_back(Compared(rows, r, column));
            }
        }
    }

    bool hold(const std::vector<Cell>& wanted) {
        if (cells_.empty()) {
            return false;
        }
        // A few candidates are enough; later columns are indexed only while
        // earlier ones leave more.
        constexpr size_t kFewCandidates = 4;
        const std::vector<std::uint32_t>* candidates = nullptr;
        for (size_t i = 0; i < width_; ++i) {
            if (wanted[i].isEmpty()) {
                continue;
            }
            const Index& index = indexOf(i);
            auto found = index.find(wanted[i].asText());
            if (found == index.end()) {
                return false;
            }
            if (candidates == nullptr || found->second.size() < candidates->size()) {
                candidates = &found->second;
            }
            if (candidates->size() <= kFewCandidates) {
                break;
            }
        }
        if (candidates == nullptr) {
            return true; // an all-Null row is held by any row
        }
        return std::any_of(candidates->begin(), candidates->end(),
                           [&](std::uint32_t row) { return rowHolds(row, wanted); });
    }

private:
    using Index = std::unordered_map<std::u16string_view, std::vector<std::uint32_t>>;

    const Index& indexOf(size_t column) {
        std::optional<Index>& index = index_[column];
        if (!index) {
            index.emplace();
            for (size_t row = 0; row * width_ < cells_.size(); ++row) {
                const Cell& cell = cells_[row * width_ + column];
                if (!cell.isEmpty()) {
                    (*index)[cell.asText()].push_back(static_cast<std::uint32_t>(row));
                }
            }
        }
        return *index;
    }

    bool rowHolds(size_t row, const std::vector<Cell>& wanted) const {
        for (size_t i = 0; i < width_; ++i) {
            if (!wanted[i].isEmpty() && cells_[row * width_ + i].asText() != wanted[i].asText()) {
                return false;
            }
        }
        return true;
    }

    size_t width_;
    std::vector<Cell> cells_; // row-major
    std::vector<std::optional<Index>> index_;
};

std::vector<int> ColumnsOf(const SheetRows& rows, const std::vector<std::u16string>& names) {
    std::vector<int> columns;
    for (const std::u16string& name : names) {
        columns.push_back(rows.column(name));
    }
    return columns;
}

} // namespace

std::vector<int> UnheldRows(const SheetRows& reference, const SheetRows& entries,
                            const std::vector<std::u16string>& columns) {
    const std::vector<int> referenceColumns = ColumnsOf(reference, columns);
    Entries held(entries, ColumnsOf(entries, columns));
    std::vector<int> unheld;
    std::vector<Cell> wanted(columns.size());
    for (int r = reference.firstRow(); r <= reference.lastRow(); ++r) {
        for (size_t i = 0; i < columns.size(); ++i) {
            wanted[i] = Compared(reference, r, referenceColumns[i]);
        }
        if (!held.hold(wanted)) {
            unheld.push_back(r);
        }
    }
    return unheld;
}

} // namespace tomorine
