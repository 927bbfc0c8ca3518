#pragma once

#include "store/table/connection.h"
#include "store/workbook/workbook.h"

#include <map>
#include <string>
#include <vector>

namespace tomorine::test {

using Texts = std::map<std::u16string, std::u16string>;

// The 56 text columns of the entry sheet (URL1 … キーワード16) in sheet order.
const std::vector<std::u16string>& TextColumns();

// A workbook whose sheet "トモリネ" holds the header row and the dummy row
// (serial 0, "dummy" / "ダミー" texts, 削除 1), as a new data workbook has.
Workbook EntryWorkbook();

// Appends an entry: serial, the given text columns by name, 削除 0.
void AddEntry(Sheet& sheet, int serial, const Texts& texts);

// The register statement: every text column, '' where `texts` has none;
// the serial and 削除 quoted as the program writes them.
std::u16string InsertStatement(std::u16string_view table, int serial, const Texts& texts);
// The update statement for `serial`, rewriting every column.
std::u16string UpdateStatement(int serial, const Texts& texts);
// The merge's select of rows of [tmp$] with no duplicate in [トモリネ$].
std::u16string MergeSelect();

// One field of every row, for compact expectations: a number as its
// FormatNumber text, a text in apostrophes, Null as NULL.
std::vector<std::string> FieldValues(Recordset& rows, std::u16string_view field);
std::string Shown(const Cell& cell);

// A connection over a workbook in memory, on a path nothing is ever saved to.
Connection InMemory(Workbook book);

} // namespace tomorine::test
