#include "store/split_pair_repair.h"

#include "store/entry.h"

#include <algorithm>

namespace tomorine {

namespace {

bool IsHigh(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLow(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Calls `lone` with the position of each half that has no partner beside it.
template <typename Lone>
void ForEachLoneHalf(std::u16string_view text, Lone lone) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsHigh(text[i]) && i + 1 < text.size() && IsLow(text[i + 1])) {
            ++i;
        } else if (IsHigh(text[i]) || IsLow(text[i])) {
            lone(i);
        }
    }
}

bool HasLoneHalf(const Cell& cell) {
    bool found = false;
    if (cell.kind() == CellKind::Text) {
        ForEachLoneHalf(cell.asText(), [&](std::size_t) { found = true; });
    }
    return found;
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
    return !a.empty() && !b.empty() && IsHigh(a.back()) && IsLow(b.front());
}

// Cuts one field of an entry row again when an older cut split a pair in it.
void RecutField(Sheet::Row& row, const FieldLayout& layout) {
    const auto first = static_cast<std::size_t>(layout.firstColumn - 1);
    const auto chunks = static_cast<std::size_t>(layout.chunks);
    bool split = false;
    std::u16string joined;
    for (std::size_t i = 0; i < chunks; ++i) {
        const Cell& cell = row[first + i];
        if (!cell.isEmpty() && cell.kind() != CellKind::Text) {
            return; // not a field this program stored
        }
        split = split || (i + 1 < chunks && SplitBetween(cell, row[first + i + 1]));
        joined +=
            layout.readBackRule ? TrailingTabsToSpaces(TextOf(cell)) : std::u16string(TextOf(cell));
    }
    if (!split) {
        return;
    }
    std::vector<std::u16string> cut = SplitChunks(joined, layout.chunks);
    std::u16string kept;
    for (const std::u16string& chunk : cut) {
        kept += chunk;
    }
    if (kept != joined) { // the current cut would drop the field's end
        for (std::size_t i = 0; i + 1 < chunks; ++i) {
            if (SplitBetween(row[first + i], row[first + i + 1])) {
                const std::u16string_view next = TextOf(row[first + i + 1]);
                row[first + i] = Cell::text(std::u16string(TextOf(row[first + i])) + next[0]);
                row[first + i + 1] = next.size() > 1 ? Cell::text(next.substr(1)) : Cell();
            }
        }
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
            std::u16string text(cell.asText());
            ForEachLoneHalf(cell.asText(), [&](std::size_t at) { text[at] = u'\uFFFD'; });
            cell = Cell::text(text);
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
            }
            ReplaceLoneHalves(row);
            repaired->sheet(s).replaceRow(r, std::move(row));
        }
    }
    return repaired;
}

} // namespace tomorine
