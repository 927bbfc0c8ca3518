#include "store/table/sheet_select.h"

#include "store/table/cell_value.h"
#include "store/table/table_columns.h"
#include "store/workbook/ascii_case.h"
#include "store/workbook/utf.h"

#include <cmath>
#include <string>
#include <vector>

namespace tomorine {

namespace {

struct SelectForm {
    std::u16string_view sheet;
    std::u16string_view column;
};

bool PlainName(std::u16string_view name) {
    return !name.empty() && name.find_first_of(u" \t\r\n[]\"'`$;()=") == std::u16string_view::npos;
}

std::optional<SelectForm> ParseForm(std::u16string_view text) {
    constexpr std::u16string_view head = u"select * from [";
    constexpr std::u16string_view middle = u"$] where ";
    constexpr std::u16string_view tail = u" = 0";
    if (!text.starts_with(head) || !text.ends_with(tail)) {
        return std::nullopt;
    }
    text = text.substr(head.size(), text.size() - head.size() - tail.size());
    const size_t split = text.find(middle);
    if (split == std::u16string_view::npos) {
        return std::nullopt;
    }
    SelectForm form{text.substr(0, split), text.substr(split + middle.size())};
    if (!PlainName(form.sheet) || !PlainName(form.column)) {
        return std::nullopt;
    }
    return form;
}

// Whether the cell reads back from SQLite as the very same Cell.
bool AsStored(const Cell& cell, ColumnKind kind) {
    switch (cell.kind()) {
    case CellKind::Empty:
        return true;
    case CellKind::Number:
        return kind == ColumnKind::Number && std::isfinite(cell.asNumber()) &&
               !(cell.asNumber() == 0 && std::signbit(cell.asNumber()));
    case CellKind::Text:
        // An empty text reads Null; any other comes back unchanged, a lone
        // surrogate too (AssignUtf8 and DecodeUtf8 keep it).
        return kind == ColumnKind::Text && !cell.asText().empty();
    default:
        return false;
    }
}

enum class Filter { Taken, Left, Unsure };

Filter TestZero(const Cell& cell) {
    switch (cell.kind()) {
    case CellKind::Number:
        if (cell.asNumber() != 0) {
            return Filter::Left;
        }
        return std::signbit(cell.asNumber()) ? Filter::Unsure : Filter::Taken;
    case CellKind::Text:
        // SQLite reads a text that looks like a number as that number.
        return ParseNumber(ToUtf8(cell.asText())) ? Filter::Unsure : Filter::Left;
    default:
        return Filter::Left;
    }
}

bool ReservedTable(std::u16string_view name) {
    return name.size() >= 7 && SameSheetName(name.substr(0, 7), u"sqlite_");
}

} // namespace

std::optional<Recordset> SelectLiveRows(const std::shared_ptr<Workbook>& book,
                                        std::u16string_view statement) {
    std::optional<SelectForm> form = ParseForm(statement);
    if (!form || !book || ReservedTable(form->sheet)) {
        return std::nullopt;
    }
    const Sheet* sheet = book->findSheet(form->sheet);
    if (sheet == nullptr) {
        return std::nullopt;
    }
    std::vector<TableColumn> columns = TableColumns(*sheet);
    size_t filter = columns.size();
    for (size_t i = 0; i < columns.size() && filter == columns.size(); ++i) {
        if (EqualIgnoringAsciiCase(std::u16string_view(columns[i].name), form->column)) {
            filter = i;
        }
    }
    if (filter == columns.size() || columns[filter].kind != ColumnKind::Number) {
        return std::nullopt;
    }
    std::vector<const std::vector<Cell>*> rows;
    rows.reserve(static_cast<size_t>(std::max(0, sheet->lastUsedRow() - 1)));
    for (int r = 2; r <= sheet->lastUsedRow(); ++r) {
        const Sheet::Row& row = sheet->row(r);
        const Filter test = filter < row.size() ? TestZero(row[filter]) : Filter::Left;
        if (test == Filter::Unsure) {
            return std::nullopt;
        }
        if (test == Filter::Left) {
            continue;
        }
        for (size_t c = 0; c < row.size(); ++c) {
            if (!AsStored(row[c], columns[c].kind)) {
                return std::nullopt;
            }
        }
        rows.push_back(&row);
    }
    std::vector<std::u16string> names;
    names.reserve(columns.size());
    for (TableColumn& column : columns) {
        names.push_back(std::move(column.name));
    }
    return Recordset(std::move(names), book, std::move(rows));
}

} // namespace tomorine
