#include "store/split_pair_repair.h"

#include "store/entry_layout.h"
#include "store/workbook/utf.h"

#include <algorithm>

namespace tomorine {

namespace {

bool HasLoneHalf(const Cell& cell) {
    return cell.kind() == CellKind::Text && HasLoneSurrogate(cell.asText());
}

bool RowHasLoneHalf(const Sheet::Row& row) {
    for (const Cell& cell : row) {
        if (HasLoneHalf(cell)) {
            return true;
        }
    }
    return false;
}

// The entry sheet of the current layout: other sheets have no chunks.
bool IsEntrySheet(const Sheet& sheet) {
    if (!SameSheetName(sheet.name(), EntrySheetName)) {
        return false;
    }
    const std::vector<std::u16string>& names = EntryColumnNames();
    for (std::size_t c = 0; c < names.size(); ++c) {
        const Cell& header = sheet.cell(1, static_cast<int>(c) + 1);
        if (header.kind() != CellKind::Text || header.asText() != names[c]) {
            return false;
        }
    }
    return true;
}

std::u16string_view TextOf(const Cell& cell) {
    return cell.kind() == CellKind::Text ? cell.asText() : std::u16string_view();
}

bool SplitBetween(const Cell& before, const Cell& after) {
    const std::u16string_view a = TextOf(before), b = TextOf(after);
    return !a.empty() && !b.empty() && IsHighSurrogate(a.back()) && IsLowSurrogate(b.front());
}

// Each split pair joined in the earlier of its cells, one unit over a chunk.
void JoinSplitPairs(Sheet::Row& row, std::size_t first, std::size_t chunks) {
    for (std::size_t i = first; i + 1 < first + chunks; ++i) {
        if (SplitBetween(row[i], row[i + 1])) {
            const std::u16string_view next = TextOf(row[i + 1]);
            row[i] = Cell::text(std::u16string(TextOf(row[i])) + next[0]);
            row[i + 1] = next.size() > 1 ? Cell::text(next.substr(1)) : Cell();
        }
    }
}

// Cuts one field of an entry row again, as an update would store its text,
// when an older cut split a pair in it.
void RecutField(Sheet::Row& row, const FieldLayout& layout) {
    const auto first = static_cast<std::size_t>(layout.firstColumn - 1);
    const auto chunks = static_cast<std::size_t>(layout.chunks);
    bool split = false;
    std::u16string joined; // as a reader joins it
    for (std::size_t i = first; i < first + chunks; ++i) {
        if (!row[i].isEmpty() && row[i].kind() != CellKind::Text) {
            return; // not a field this program stored
        }
        split = split || (i + 1 < first + chunks && SplitBetween(row[i], row[i + 1]));
        joined += layout.readBackRule ? TrailingTabsToSpaces(TextOf(row[i]))
                                      : std::u16string(TextOf(row[i]));
    }
    if (!split) {
        return;
    }
    const std::vector<std::u16string> cut = SplitChunks(joined, layout.chunks);
    std::u16string kept;
    for (const std::u16string& chunk : cut) {
        kept += chunk;
    }
    if (kept != joined) { // cut again, the field would lose its end
        JoinSplitPairs(row, first, chunks);
        return;
    }
    for (std::size_t i = 0; i < chunks; ++i) {
        const std::u16string value = layout.readBackRule ? TrailingSpacesToTabs(cut[i]) : cut[i];
        row[first + i] = value.empty() ? Cell() : Cell::text(value);
    }
}

void ReplaceLoneHalves(Sheet::Row& row) {
    for (Cell& cell : row) {
        if (HasLoneHalf(cell)) {
            cell = Cell::text(ReplaceLoneSurrogates(cell.asText()));
        }
    }
}

} // namespace

std::optional<Workbook> RepairSplitPairs(const Workbook& book) {
    std::optional<Workbook> repaired;
    for (int s = 1; s <= book.sheetCount(); ++s) {
        const Sheet& sheet = book.sheet(s);
        const bool entries = IsEntrySheet(sheet);
        for (int r = 1; r <= sheet.lastUsedRow(); ++r) {
            if (!RowHasLoneHalf(sheet.row(r))) {
                continue;
            }
            if (!repaired) {
                repaired.emplace(book);
            }
            Sheet::Row row = sheet.row(r);
            if (entries && r >= 3) {
                row.resize(std::max<std::size_t>(row.size(), EntryColumnCount));
                for (const FieldLayout& layout : FieldLayouts()) {
                    RecutField(row, layout);
                }
            } else { // an older layout's chunks, which its conversion joins
                JoinSplitPairs(row, 0, row.size());
            }
            ReplaceLoneHalves(row);
            repaired->sheet(s).replaceRow(r, std::move(row));
        }
    }
    return repaired;
}

} // namespace tomorine
