// The NOT EXISTS select of the merge: the recogniser of its form, and the
// fast run of it against SQLite's own run of the same meaning.
#include "store/table/connection.h"
#include "store/table/not_exists_form.h"
#include "store/table/not_exists_scan.h"
#include "store/table/sheet_module.h"
#include "store/table/sqlite_handle.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"

#include <gtest/gtest.h>
#include <random>

namespace tomorine::test {
namespace {

// "(o.c1 = i.c1 or o.c1 Is Null) and …" over the given columns.
std::string Conditions(const std::vector<std::string>& columns, const std::string& o = "[o$]",
                       const std::string& i = "[i$]") {
    std::string sql;
    for (const std::string& c : columns) {
        sql += (sql.empty() ? "(" : " and (") + o + "." + c + " = " + i + "." + c + " or " + o +
               "." + c + " Is Null)";
    }
    return sql;
}

std::string Select(const std::vector<std::string>& columns) {
    return "SELECT [o$].* FROM [o$] WHERE NOT EXISTS ( SELECT [i$].* FROM [i$] WHERE " +
           Conditions(columns) + " )";
}

struct FormCase {
    const char* name;
    std::string sql;
    bool recognised;
};

class RecogniseTest : public ::testing::TestWithParam<FormCase> {};

TEST_P(RecogniseTest, KnowsTheFormAndNothingElse) {
    EXPECT_EQ(RecogniseNotExists(GetParam().sql).has_value(), GetParam().recognised)
        << GetParam().sql;
}

const std::string kTail = " WHERE NOT EXISTS ( SELECT [i$].* FROM [i$] WHERE ";

INSTANTIATE_TEST_SUITE_P(
    Forms, RecogniseTest,
    ::testing::Values(
        FormCase{"Merge", Select({"URL1", "タイトル1", "キーワード16"}), true},
        FormCase{"OneCondition", Select({"a"}), true},
        FormCase{"LowerCaseAndBlanks",
                 "select\t[o$].*  from [o$]\nwhere not exists(select * from \"i$\" where "
                 "([O$].a=i$.a OR [o$].A IS NULL))",
                 true},
        FormCase{"EqualityTurned",
                 "SELECT [o$].* FROM [o$]" + kTail + "([i$].y = [o$].x or [o$].x Is Null) )", true},
        FormCase{"SameTable",
                 "SELECT [o$].* FROM [o$] WHERE NOT EXISTS ( SELECT [o$].* FROM [O$] "
                 "WHERE ([o$].a = [o$].a or [o$].a Is Null) )",
                 false},
        FormCase{"NullTestOnInner",
                 "SELECT [o$].* FROM [o$]" + kTail + "([o$].a = [i$].a or [i$].a Is Null) )",
                 false},
        FormCase{"NullTestOnOtherColumn",
                 "SELECT [o$].* FROM [o$]" + kTail + "([o$].a = [i$].a or [o$].b Is Null) )",
                 false},
        FormCase{"OuterOnBothSides",
                 "SELECT [o$].* FROM [o$]" + kTail + "([o$].a = [o$].a or [o$].a Is Null) )",
                 false},
        FormCase{"ExtraCondition",
                 Select({"a"}).substr(0, Select({"a"}).size() - 2) + " and 1 = 1 )", false},
        FormCase{"Comment", Select({"a"}) + " -- x", false},
        FormCase{"Semicolon", Select({"a"}) + ";", false},
        FormCase{"Alias", "SELECT o.* FROM [o$] o" + kTail + "(o.a = [i$].a or o.a Is Null) )",
                 false},
        FormCase{"OtherSelectList", "SELECT [o$].a FROM [o$]" + kTail + Conditions({"a"}) + " )",
                 false},
        FormCase{"Exists",
                 "SELECT [o$].* FROM [o$] WHERE EXISTS ( SELECT [i$].* FROM [i$] WHERE " +
                     Conditions({"a"}) + " )",
                 false},
        FormCase{"UnclosedName", "SELECT [o$.* FROM [o$]", false}),
    [](const auto& info) { return std::string(info.param.name); });

// Sheets "o" and "i": a header c1 … cn plus a serial column, then rows.
// Row 2 holds texts so that the columns are text columns.
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

std::vector<std::string> ColumnNames(int columns) {
    std::vector<std::string> names;
    for (int c = 1; c <= columns; ++c) {
        names.push_back("c" + std::to_string(c));
    }
    return names;
}

std::string Dump(Recordset rows) {
    std::string text;
    for (int f = 0; f < rows.fieldCount(); ++f) {
        text += ToUtf8(rows.fieldName(f)) + "|";
    }
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
        text += "\n";
        for (int f = 0; f < rows.fieldCount(); ++f) {
            const Cell& cell = rows.field(f);
            text += cell.kind() == CellKind::Text     ? "'" + ToUtf8(cell.asText()) + "'|"
                    : cell.kind() == CellKind::Number ? ToUtf8(FormatNumber(cell.asNumber())) + "|"
                                                      : std::string("NULL|");
        }
    }
    return text;
}

// Whether the fast run takes the statement on this workbook.
bool Taken(Workbook book, const std::string& sql) {
    TableSession session;
    session.book = &book;
    sqlite3* handle = nullptr;
    EXPECT_EQ(sqlite3_open(":memory:", &handle), SQLITE_OK);
    SqliteDatabase db(handle);
    EXPECT_EQ(CreateSheetTables(handle, session), SQLITE_OK);
    sqlite3_stmt* statement = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(handle, sql.c_str(), -1, &statement, nullptr), SQLITE_OK);
    SqliteStatement owner(statement);
    Recordset rows;
    return RunNotExists(handle, sql, rows) != kNotExistsNotTaken;
}

// SQLite's own run: one more always-true condition hides the form.
std::string Plain(const std::string& sql) {
    return sql.substr(0, sql.size() - 2) + " and 1 = 1 )";
}

// Few values, many Nulls and near-duplicates (case, a trailing blank, a
// number that reads as the text "1"): every way two rows almost match.
Cell RandomCell(std::mt19937& random) {
    static const std::vector<Cell> cells = {Cell(),
                                            Cell(),
                                            Cell(),
                                            Cell::text(u""),
                                            Cell::text(u"a"),
                                            Cell::text(u"a"),
                                            Cell::text(u"A"),
                                            Cell::text(u"a "),
                                            Cell::text(u"b"),
                                            Cell::text(u"1"),
                                            Cell::number(1),
                                            Cell::text(u"ダミー"),
                                            Cell::boolean(true),
                                            Cell::text(u"TRUE")};
    return cells[std::uniform_int_distribution<size_t>(0, cells.size() - 1)(random)];
}

std::vector<Sheet::Row> RandomRows(std::mt19937& random, int columns, const Sheet::Row& textRow,
                                   const std::vector<Sheet::Row>& copyFrom) {
    std::vector<Sheet::Row> rows{textRow};
    int count = std::uniform_int_distribution<int>(0, 10)(random);
    for (int r = 0; r < count; ++r) {
        Sheet::Row row{Cell::number(r)};
        if (!copyFrom.empty() && random() % 3 == 0) {
            // A near-duplicate of a row of the other sheet: one cell changed.
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

TEST(NotExistsScanTest, GivesWhatSqliteGivesOnRandomSheets) {
    std::mt19937 random(20261206);
    for (int round = 0; round < 400; ++round) {
        const int columns = 1 + round % 4;
        Sheet::Row textRow{Cell::text(u"x")};
        for (int c = 1; c <= columns; ++c) {
            textRow.push_back(random() % 2 ? Cell::text(u"t") : Cell());
        }
        std::vector<Sheet::Row> inner = RandomRows(random, columns, textRow, {});
        std::vector<Sheet::Row> outer = RandomRows(random, columns, textRow, inner);
        if (round % 50 == 0) {
            outer.resize(1); // only the text row
        }
        if (round % 50 == 1) {
            inner.clear(); // no row at all: every outer row is kept
        }
        Workbook book = TwoSheets(outer, inner, columns);
        const std::string sql = Select(ColumnNames(columns));
        ASSERT_TRUE(Taken(book, sql)) << "round " << round;
        Connection connection("/nowhere/random.xls", book);
        ASSERT_EQ(Dump(connection.execute(FromUtf8(sql))),
                  Dump(connection.execute(FromUtf8(Plain(sql)))))
            << "round " << round;
    }
}

TEST(NotExistsScanTest, LeavesANumberColumnToSqlite) {
    Sheet::Row numbers{Cell::number(0), Cell::number(1)};
    Sheet::Row texts{Cell::number(0), Cell::text(u"1")};
    for (auto [outer, inner] : {std::pair{numbers, texts}, std::pair{texts, numbers}}) {
        Workbook book = TwoSheets({outer, texts}, {inner}, 1);
        const std::string sql = Select({"c1"});
        EXPECT_FALSE(Taken(book, sql));
        Connection connection("/nowhere/numbers.xls", book);
        EXPECT_EQ(Dump(connection.execute(FromUtf8(sql))),
                  Dump(connection.execute(FromUtf8(Plain(sql)))));
    }
}

TEST(NotExistsScanTest, AMissingColumnFailsAsTheStatementDoes) {
    Workbook book = TwoSheets({}, {}, 1);
    Connection connection("/nowhere/missing.xls", book);
    EXPECT_THROW(connection.execute(FromUtf8(Select({"c1", "c2"}))), WorkbookError);
}

} // namespace
} // namespace tomorine::test
