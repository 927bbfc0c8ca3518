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

// The entries, looked up through an index per column. The sheet's own cells
// are compared in place: a copy of every compared cell, 56 to a row, took
// more memory than either workbook's texts.
class Entries {
public:
    Entries(const SheetRows& rows, std::vector<int> columns)
        : rows_(rows), columns_(std::move(columns)), index_(columns_.size()) {}

    bool hold(const std::vector<Cell>& wanted) {
        if (columns_.empty() || rows_.lastRow() < rows_.firstRow()) {
            return false;
        }
        // A few candidates are enough; later columns are indexed only while
        // earlier ones leave more.
        constexpr std::uint32_t kFewCandidates = 4;
        const Rows* candidates = nullptr;
        const Index* from = nullptr;
        for (size_t i = 0; i < columns_.size(); ++i) {
            if (wanted[i].isEmpty()) {
                continue;
            }
            const Index& index = indexOf(i);
            auto found = index.rows.find(wanted[i].asText());
            if (found == index.rows.end()) {
                return false;
            }
            if (candidates == nullptr || found->second.count < candidates->count) {
                candidates = &found->second;
                from = &index;
            }
            if (candidates->count <= kFewCandidates) {
                break;
            }
        }
        if (candidates == nullptr) {
            return true; // an all-Null row is held by any row
        }
        for (std::uint32_t row = candidates->first; row != kNone; row = from->next[row]) {
            if (rowHolds(row, wanted)) {
                return true;
            }
        }
        return false;
    }

private:
    static constexpr std::uint32_t kNone = UINT32_MAX;

    // The rows with one value, chained through Index::next.
    struct Rows {
        std::uint32_t first = kNone;
        std::uint32_t count = 0;
    };

    // The keys view the column's compared values, kept here because a
    // number's text exists nowhere else.
    struct Index {
        std::vector<Cell> values; // by row, from the first
        std::unordered_map<std::u16string_view, Rows> rows;
        std::vector<std::uint32_t> next;
    };

    const Index& indexOf(size_t i) {
        std::optional<Index>& index = index_[i];
        if (!index) {
            index.emplace();
            const int first = rows_.firstRow();
            const size_t count = static_cast<size_t>(rows_.lastRow() - first + 1);
            index->values.reserve(count);
            index->next.assign(count, kNone);
            for (size_t row = 0; row < count; ++row) {
                index->values.push_back(
                    Compared(rows_, first + static_cast<int>(row), columns_[i]));
            }
            for (size_t row = count; row-- > 0;) {
                if (!index->values[row].isEmpty()) {
                    Rows& same = index->rows[index->values[row].asText()];
                    index->next[row] = same.first;
                    same.first = static_cast<std::uint32_t>(row);
                    ++same.count;
                }
            }
        }
        return *index;
    }

    bool rowHolds(std::uint32_t row, const std::vector<Cell>& wanted) const {
        const int sheetRow = rows_.firstRow() + static_cast<int>(row);
        for (size_t i = 0; i < columns_.size(); ++i) {
            if (wanted[i].isEmpty()) {
                continue;
            }
            if (index_[i] ? index_[i]->values[row].asText() != wanted[i].asText()
                          : Compared(rows_, sheetRow, columns_[i]).asText() != wanted[i].asText()) {
                return false;
            }
        }
        return true;
    }

    const SheetRows& rows_;
    std::vector<int> columns_;
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
