#include "store/table/sheet_rows.h"

#include "store/table/cell_value.h"
#include "store/workbook/ascii_case.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <deque>

namespace tomorine {

namespace {

// Whether a cell reads back as the very same Cell.
bool ReadsAsStored(const Cell& cell, ColumnKind kind) {
    switch (cell.kind()) {
    case CellKind::Empty:
        return true;
    case CellKind::Number:
        return kind == ColumnKind::Number && std::isfinite(cell.asNumber()) &&
               !(cell.asNumber() == 0 && std::signbit(cell.asNumber()));
    case CellKind::Text:
        return kind == ColumnKind::Text && !cell.asText().empty();
    default:
        return false;
    }
}

// Keeps the workbook alive, and the rows that read otherwise than stored.
struct SelectedRows {
    std::shared_ptr<const Workbook> book;
    std::deque<Sheet::Row> converted;
};

} // namespace

SheetRows::SheetRows(const Sheet& sheet, std::filesystem::path file)
    : sheet_(sheet), file_(std::move(file)), columns_(TableColumns(sheet)) {}

SheetRows::SheetRows(const Sheet& sheet, std::filesystem::path file,
                     std::vector<TableColumn> columns)
    : sheet_(sheet), file_(std::move(file)), columns_(std::move(columns)) {}

int SheetRows::column(std::u16string_view name) const {
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (EqualIgnoringAsciiCase(std::u16string_view(columns_[i].name), name)) {
            return static_cast<int>(i);
        }
    }
    throw WorkbookError(WorkbookFault::FieldNotFound, QuotedPath(file_) + " のシート「" +
                                                          ToUtf8(sheet_.name()) + "」に列「" +
                                                          ToUtf8(name) + "」がありません");
}

Cell SheetRows::value(int row, int column) const {
    return ReadAs(sheet_.cell(row, column + 1), columns_[column].kind);
}

bool SheetRows::is(int row, int column, std::int64_t number) const {
    // Every live-entry scan asks this of each row: the usual cases need no copy.
    const Cell& cell = stored(row, column);
    const ColumnKind kind = columns_[column].kind;
    if (kind == ColumnKind::Number && cell.kind() == CellKind::Number) {
        return cell.asNumber() == static_cast<double>(number);
    }
    if (kind == ColumnKind::Text && cell.kind() == CellKind::Text) {
        char digits[24];
        const char* end = std::to_chars(digits, digits + sizeof digits, number).ptr;
        return std::equal(static_cast<const char*>(digits), end, cell.asText().begin(),
                          cell.asText().end());
    }
    const Cell read = value(row, column);
    return columns_[column].kind == ColumnKind::Number
               ? read.kind() == CellKind::Number && read.asNumber() == static_cast<double>(number)
               : read.asText() == FromUtf8(std::to_string(number));
}

Recordset SheetRows::select(std::shared_ptr<const Workbook> book,
                            const std::vector<int>& rows) const {
    auto owner = std::make_shared<SelectedRows>();
    owner->book = std::move(book);
    std::vector<const Sheet::Row*> picked;
    picked.reserve(rows.size());
    for (int r : rows) {
        const Sheet::Row& row = sheet_.row(r);
        bool asStored = true;
        for (size_t c = 0; c < row.size() && asStored; ++c) {
            asStored = ReadsAsStored(row[c], columns_[c].kind);
        }
        if (asStored) {
            picked.push_back(&row);
            continue;
        }
        Sheet::Row& read = owner->converted.emplace_back(columns_.size());
        for (size_t c = 0; c < read.size(); ++c) {
            read[c] = value(r, static_cast<int>(c));
        }
        picked.push_back(&read);
    }
    std::vector<std::u16string> names;
    names.reserve(columns_.size());
    for (const TableColumn& column : columns_) {
        names.push_back(column.name);
    }
    return Recordset(std::move(names), std::move(owner), std::move(picked));
}

} // namespace tomorine
