#include "store/table/table_columns.h"

#include "store/workbook/ascii_case.h"
#include "store/workbook/utf.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

namespace tomorine {

namespace {

std::u16string Generic(int column) {
    std::string digits = std::to_string(column);
    return u"F" + std::u16string(digits.begin(), digits.end());
}

std::u16string HeaderText(const Cell& cell, int column) {
    std::u16string text;
    switch (cell.kind()) {
    case CellKind::Number:
        text = FormatNumber(cell.asNumber());
        break;
    case CellKind::Text:
        text = cell.asText();
        break;
    case CellKind::Boolean:
        text = cell.asBoolean() ? u"TRUE" : u"FALSE";
        break;
    case CellKind::Error:
        text = ErrorText(cell.errorCode());
        break;
    case CellKind::Empty:
        break;
    }
    if (text.empty() || text.find(u'\0') != std::u16string::npos) {
        return Generic(column);
    }
    return text;
}

// Renames later duplicates so that every name is unique without ASCII case.
void MakeUnique(std::vector<TableColumn>& columns) {
    std::unordered_set<std::u16string> taken;
    std::vector<bool> duplicate(columns.size());
    for (size_t i = 0; i < columns.size(); ++i) {
        duplicate[i] = !taken.insert(FoldAsciiCase<char16_t>(columns[i].name)).second;
    }
    for (size_t i = 0; i < columns.size(); ++i) {
        if (!duplicate[i]) {
            continue;
        }
        for (int n = 2;; ++n) {
            std::string digits = std::to_string(n);
            std::u16string candidate =
                columns[i].name + std::u16string(digits.begin(), digits.end());
            if (taken.insert(FoldAsciiCase<char16_t>(candidate)).second) {
                columns[i].name = std::move(candidate);
                break;
            }
        }
    }
}

} // namespace

std::vector<TableColumn> TableColumns(const Sheet& sheet) {
    int count = std::max(1, sheet.lastUsedColumn());
    std::vector<TableColumn> columns;
    columns.reserve(count);
    for (int c = 1; c <= count; ++c) {
        ColumnKind kind =
            sheet.cell(2, c).kind() == CellKind::Number ? ColumnKind::Number : ColumnKind::Text;
        columns.push_back({HeaderText(sheet.cell(1, c), c), kind});
    }
    MakeUnique(columns);
    return columns;
}

} // namespace tomorine
