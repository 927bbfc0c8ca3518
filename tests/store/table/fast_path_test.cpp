// The statements served from the sheet without SQLite's own scan (the
// live-entry select and the merge's NOT EXISTS select), each against SQLite's
// run of the same meaning.
#include "store/data_workbook.h"
#include "store/entry_statements.h"
#include "store/table/connection.h"
#include "store/table/not_exists_form.h"
#include "store/table/not_exists_scan.h"
#include "store/table/sheet_module.h"
#include "store/table/sqlite_handle.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"
#include "support/temp_dir.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <random>

namespace tomorine::test {
namespace {

// Field names, then every cell with its kind; numbers to the last bit, and
// texts with their surrogate units, which UTF-8 would not tell apart.
std::string Dump(Recordset rows) {
    std::string text;
    for (int f = 0; f < rows.fieldCount(); ++f) {
        text += ToUtf8(rows.fieldName(f)) + "|";
    }
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
        text += "\n";
        for (int f = 0; f < rows.fieldCount(); ++f) {
            const Cell& cell = rows.field(f);
            char number[32];
            std::snprintf(number, sizeof number, "%.17g", cell.asNumber());
            text += std::to_string(static_cast<int>(cell.kind())) + ":" +
                    (cell.kind() == CellKind::Text ? ToUtf8(cell.asText()) : number);
            for (char16_t unit : cell.asText()) {
                text += unit >= 0xD800 && unit < 0xE000 ? "<" + std::to_string(unit) + ">" : "";
            }
            text += "|";
        }
    }
    return text;
}

Entry NewEntry(int n) {
    return {0, u"https://example.com/" + FromUtf8(std::to_string(n)), u"題名", u"", u"語", u""};
}

// A trailing blank keeps the select off the fast path.
TEST(LiveEntrySelect, GivesWhatSqliteGives) {
    Connection connection("/nonexistent/c.xls", NewDataWorkbook());
    for (int n = 1; n <= 5; ++n) {
        connection.execute(BuildInsertStatement(n, NewEntry(n)));
    }
    Workbook book = connection.workbook();
    Sheet& sheet = book.sheet(EntrySheetName);
    sheet.setCell(4, 58, Cell::number(1)); // deleted
    sheet.setCell(5, 58, Cell());          // no flag at all
    sheet.setCell(9, 1, Cell::number(9));  // after a gap of empty rows
    sheet.setCell(9, 58, Cell::number(0));
    // Row 6's title as it was, then cells SQLite hands back in another form:
    // each of those sends the select to SQLite.
    const std::pair<int, Cell> odd[] = {{18, Cell::text(u"題名")}, {58, Cell::text(u"0")},
                                        {18, Cell::number(12)},    {18, Cell::text(u"")},
                                        {18, Cell::boolean(true)}, {18, Cell::text(u"a\xD800")},
                                        {1, Cell::text(u"x")},     {58, Cell::number(-0.0)}};
    for (const auto& [column, cell] : odd) {
        Workbook changed = book;
        changed.sheet(EntrySheetName).setCell(6, column, cell);
        Connection fast("/nonexistent/a.xls", changed), slow("/nonexistent/b.xls", changed);
        const std::u16string sql = u"select * from [トモリネ$] where 削除 = 0";
        EXPECT_EQ(Dump(fast.execute(sql)), Dump(slow.execute(sql + u" "))) << column;
    }
}

TEST(LiveEntrySelect, RowsReadInPlaceOutliveWritesAndTheConnection) {
    TempDir dir;
    Connection connection(dir / "d.xls", std::make_shared<Workbook>(NewDataWorkbook()));
    connection.execute(BuildInsertStatement(1, NewEntry(1)));
    Recordset rows = connection.execute(u"select * from [トモリネ$] where 削除 = 0");
    connection.execute(BuildUpdateStatement(1, NewEntry(5)));
    connection.execute(BuildInsertStatement(2, NewEntry(2)));
    connection.close();
    ASSERT_EQ(rows.recordCount(), 1);
    EXPECT_EQ(rows.field(u"URL1").asText(), u"https://example.com/1");
}

// "(o.c1 = i.c1 or o.c1 Is Null) and …" over the given columns.
std::string Conditions(const std::vector<std::string>& columns) {
    std::string sql;
    for (const std::string& c : columns) {
        sql += (sql.empty() ? "(" : " and (") + ("[o$]." + c + " = [i$]." + c) + " or [o$]." + c +
               " Is Null)";
    }
    return sql;
}

const std::string kHead = "SELECT [o$].* FROM [o$]";
const std::string kTail = " WHERE NOT EXISTS ( SELECT [i$].* FROM [i$] WHERE ";

std::string Select(const std::vector<std::string>& columns) {
    return kHead + kTail + Conditions(columns) + " )";
}

// SQLite's own run: one more always-true condition hides the form.
std::string Plain(const std::string& sql) {
    return sql.substr(0, sql.size() - 2) + " and 1 = 1 )";
}

// Accepting any other statement would answer it with the wrong meaning.
TEST(NotExistsForm, KnowsTheFormAndNothingElse) {
    const std::pair<std::string, bool> cases[] = {
        {Select({"URL1", "タイトル1", "キーワード16"}), true},
        {"select\t[o$].*  from [o$]\nwhere not exists(select * from \"i$\" where "
         "([O$].a=i$.a OR [o$].A IS NULL))",
         true},
        {kHead + kTail + "([i$].y = [o$].x or [o$].x Is Null) )", true},
        {kHead + " WHERE NOT EXISTS ( SELECT [o$].* FROM [O$] WHERE " +
             "([o$].a = [o$].a or [o$].a Is Null) )",
         false},
        {kHead + kTail + "([o$].a = [i$].a or [i$].a Is Null) )", false},
        {kHead + kTail + "([o$].a = [i$].a or [o$].b Is Null) )", false},
        {Plain(Select({"a"})), false},
        {Select({"a"}) + ";", false},
        {"SELECT o.* FROM [o$] o" + kTail + "(o.a = [i$].a or o.a Is Null) )", false},
        {"SELECT [o$].a FROM [o$]" + kTail + Conditions({"a"}) + " )", false},
        {kHead + " WHERE EXISTS ( SELECT [i$].* FROM [i$] WHERE " + Conditions({"a"}) + " )",
         false}};
    for (const auto& [sql, recognised] : cases) {
        EXPECT_EQ(RecogniseNotExists(sql).has_value(), recognised) << sql;
    }
}

// Sheets "o" and "i": a header n, c1 … cn, then the rows.
Workbook TwoSheets(const std::vector<Sheet::Row>& outer, const std::vector<Sheet::Row>& inner,
                   int columns) {
    Workbook book;
    for (auto [name, rows] : {std::pair{u"o", &outer}, std::pair{u"i", &inner}}) {
        Sheet& sheet = book.addSheet(name);
        Sheet::Row header{Cell::text(u"n")};
        for (int c = 1; c <= columns; ++c) {
            header.push_back(Cell::text(u"c" + FromUtf8(std::to_string(c))));
        }
        sheet.appendRow(std::move(header));
        for (const Sheet::Row& row : *rows) {
            sheet.appendRow(row);
        }
    }
    return book;
}

// Whether the fast run takes the statement on this workbook.
bool Taken(Workbook book, const std::string& sql) {
    TableSession session;
    session.book = &book;
    sqlite3* handle = nullptr;
    EXPECT_EQ(sqlite3_open(":memory:", &handle), SQLITE_OK);
    SqliteDatabase db(handle);
    EXPECT_EQ(CreateSheetTables(handle, session), SQLITE_OK);
    Recordset rows;
    return RunNotExists(handle, sql, rows) != kNotExistsNotTaken;
}

// Both runs of `sql` on `book` give the same rows; whether the fast one ran.
bool SameAsSqlite(const Workbook& book, const std::string& sql) {
    Connection connection("/nowhere/o.xls", book);
    EXPECT_EQ(Dump(connection.execute(FromUtf8(sql))),
              Dump(connection.execute(FromUtf8(Plain(sql)))));
    return Taken(book, sql);
}

// Few values, many Nulls and near-duplicates (case, a trailing blank, a
// number that reads as the text "1"): every way two rows almost match.
Cell RandomCell(std::mt19937& random) {
    const auto T = [](const char16_t* text) { return Cell::text(text); };
    const Cell none, one = Cell::number(1), yes = Cell::boolean(true);
    const Cell cells[] = {
        none,     none,    none,    T(u""), T(u"a"),      T(u"a"), T(u"A"),
        T(u"a "), T(u"b"), T(u"1"), one,    T(u"ダミー"), yes,     T(u"TRUE"),
    };
    return cells[random() % std::size(cells)];
}

// A text row first, so that the columns are text columns; some rows copy a
// row of `copyFrom` with one cell changed.
std::vector<Sheet::Row> RandomRows(std::mt19937& random, int columns, const Sheet::Row& textRow,
                                   const std::vector<Sheet::Row>& copyFrom) {
    std::vector<Sheet::Row> rows{textRow};
    for (int r = 0, count = static_cast<int>(random() % 11); r < count; ++r) {
        Sheet::Row row{Cell::number(r)};
        if (!copyFrom.empty() && random() % 3 == 0) {
            row = copyFrom[random() % copyFrom.size()];
            row.resize(static_cast<size_t>(columns) + 1);
            row[1 + random() % columns] = RandomCell(random);
        } else {
            for (int c = 1; c <= columns; ++c) {
                row.push_back(RandomCell(random));
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

TEST(NotExistsScan, GivesWhatSqliteGivesOnRandomSheets) {
    std::mt19937 random(20261206);
    for (int round = 0; round < 400; ++round) {
        SCOPED_TRACE(round);
        const int columns = 1 + round % 4;
        Sheet::Row textRow{Cell::text(u"x")};
        std::vector<std::string> names;
        for (int c = 1; c <= columns; ++c) {
            textRow.push_back(random() % 2 ? Cell::text(u"t") : Cell());
            names.push_back("c" + std::to_string(c));
        }
        std::vector<Sheet::Row> inner = RandomRows(random, columns, textRow, {});
        std::vector<Sheet::Row> outer = RandomRows(random, columns, textRow, inner);
        if (round % 50 == 0) {
            outer.resize(1);
        }
        if (round % 50 == 1) {
            inner.clear();
        }
        ASSERT_TRUE(SameAsSqlite(TwoSheets(outer, inner, columns), Select(names)));
    }
}

TEST(NotExistsScan, LeavesANumberColumnToSqliteAndFailsOnAMissingColumn) {
    const Sheet::Row numbers{Cell::number(0), Cell::number(1)};
    const Sheet::Row texts{Cell::number(0), Cell::text(u"1")};
    for (auto [outer, inner] : {std::pair{numbers, texts}, std::pair{texts, numbers}}) {
        EXPECT_FALSE(SameAsSqlite(TwoSheets({outer, texts}, {inner}, 1), Select({"c1"})));
    }
    Connection connection("/nowhere/missing.xls", TwoSheets({}, {}, 1));
    EXPECT_THROW(connection.execute(FromUtf8(Select({"c1", "c2"}))), WorkbookError);
}

} // namespace
} // namespace tomorine::test
