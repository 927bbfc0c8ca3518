#pragma once

#include "store/data_workbook.h"
#include "store/entry.h"
#include "store/table/connection.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace tomorine::test {

// An entry of a URL and a title.
inline Entry Page(std::u16string url, std::u16string title = {}) {
    Entry e;
    e.url = std::move(url);
    e.title = std::move(title);
    return e;
}

// Appends an entry row: serial, the given text columns by name, 削除 0.
inline void AddEntry(Sheet& sheet, int serial,
                     const std::map<std::u16string, std::u16string>& texts) {
    Sheet::Row row{Cell::number(serial)};
    for (int c = 1; c <= 56; ++c) {
        auto found = texts.find(EntryColumnNames()[c]);
        row.push_back(found == texts.end() ? Cell() : Cell::text(found->second));
    }
    row.push_back(Cell::number(0));
    sheet.appendRow(std::move(row));
}

// The merge's select of rows of [tmp$] with no duplicate in [トモリネ$].
inline std::u16string MergeSelect() {
    std::u16string sql = u"SELECT [tmp$].* FROM [tmp$] WHERE NOT EXISTS ( SELECT [トモリネ$].* "
                         u"FROM [トモリネ$] WHERE ";
    for (int c = 1; c <= 56; ++c) {
        const std::u16string& n = EntryColumnNames()[c];
        sql += (c > 1 ? u" and ([tmp$]." : u"([tmp$].") + n + u" = [トモリネ$]." + n +
               u" or [tmp$]." + n + u" Is Null)";
    }
    return sql + u" )";
}

// A number as its FormatNumber text, a text in apostrophes, Null as NULL.
inline std::string Shown(const Cell& cell) {
    if (cell.kind() == CellKind::Text) {
        return "'" + ToUtf8(cell.asText()) + "'";
    }
    return cell.isEmpty() ? "NULL" : ToUtf8(FormatNumber(cell.asNumber()));
}

// One field of every row, for compact expectations.
inline std::vector<std::string> FieldValues(Recordset& rows, std::u16string_view field) {
    std::vector<std::string> values;
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
        values.push_back(Shown(rows.field(field)));
    }
    return values;
}

// The error an action throws; a test failure when it throws none.
inline WorkbookError ErrorFrom(const std::function<void()>& action) {
    try {
        action();
    } catch (const WorkbookError& e) {
        return e;
    }
    ADD_FAILURE() << "no error";
    return WorkbookError(0, "");
}

// A connection over a workbook in memory, on a path nothing is ever saved to.
inline Connection InMemory(Workbook book) {
    return Connection("/nonexistent-folder/トモリネ.xls", std::move(book));
}

} // namespace tomorine::test
