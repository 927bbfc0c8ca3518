// How cells read and how written values are stored, by column kind.
#include "entry_fixture.h"
#include "search/search_statement.h"
#include "store/data_workbook.h"
#include "store/entry_statements.h"
#include "store/table/cell_value.h"
#include "store/table/connection.h"
#include "store/workbook/utf.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <ostream>

namespace tomorine::test {
namespace {

using ::testing::ElementsAre;

// Sheet "s": column n is numeric and t is text (by their cells in row 2);
// row 3 holds the given cells.
Workbook KindsBook(const Cell& n3, const Cell& t3) {
    Workbook book;
    Sheet& s = book.addSheet(u"s");
    s.appendRow({Cell::text(u"n"), Cell::text(u"t"), Cell::text(u"pad")});
    s.appendRow({Cell::number(0), Cell::text(u"first")});
    s.appendRow({n3, t3, Cell::text(u"keeps row 3")});
    return book;
}

struct ReadCase {
    Cell cell;
    std::string number; // "typeof: value" in the number column
    std::string text;   // and in the text column
};

void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << Shown(c.cell) << " kind " << static_cast<int>(c.cell.kind());
}

std::string Read(Connection& connection, std::u16string_view column) {
    Recordset rows =
        connection.execute(u"select typeof(" + std::u16string(column) + u") as k, " +
                           std::u16string(column) + u" as v from [s$] where rowid = 3");
    return ToUtf8(rows.field(u"k").asText()) + ": " + Shown(rows.field(u"v"));
}

class CellReading : public ::testing::TestWithParam<ReadCase> {};

TEST_P(CellReading, ReadsByColumnKind) {
    Connection connection = InMemory(KindsBook(GetParam().cell, GetParam().cell));
    EXPECT_EQ(Read(connection, u"n"), GetParam().number);
    EXPECT_EQ(Read(connection, u"t"), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CellReading,
    ::testing::Values(ReadCase{Cell(), "null: NULL", "null: NULL"},
                      ReadCase{Cell::text(u""), "null: NULL", "null: NULL"},
                      ReadCase{Cell::text(u"abc"), "null: NULL", "text: 'abc'"},
                      ReadCase{Cell::text(u"12"), "integer: 12", "text: '12'"},
                      ReadCase{Cell::text(u" 3.5 "), "real: 3.5", "text: ' 3.5 '"},
                      ReadCase{Cell::number(7), "integer: 7", "text: '7'"},
                      ReadCase{Cell::number(-1.5), "real: -1.5", "text: '-1.5'"},
                      ReadCase{Cell::number(1e20), "real: 1E+20", "text: '1E+20'"},
                      ReadCase{Cell::boolean(true), "null: NULL", "text: 'TRUE'"},
                      ReadCase{Cell::boolean(false), "null: NULL", "text: 'FALSE'"},
                      ReadCase{Cell::error(0x2A), "null: NULL", "null: NULL"}));

struct WriteCase {
    std::u16string assignment;
    int column;
    Cell stored;
};

void PrintTo(const WriteCase& c, std::ostream* out) {
    *out << ToUtf8(c.assignment);
}

class CellWriting : public ::testing::TestWithParam<WriteCase> {};

TEST_P(CellWriting, StoresByColumnKind) {
    Connection connection = InMemory(KindsBook(Cell::number(5), Cell::text(u"old")));
    connection.execute(u"UPDATE [s$] SET " + GetParam().assignment + u" WHERE rowid = 3");
    EXPECT_EQ(connection.workbook().sheet(1).cell(3, GetParam().column), GetParam().stored);

    connection.execute(u"INSERT INTO [s$] (n, t) VALUES (NULL, 'x')");
    connection.execute(u"UPDATE [s$] SET " + GetParam().assignment + u" WHERE rowid = 4");
    EXPECT_EQ(connection.workbook().sheet(1).cell(4, GetParam().column), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CellWriting,
    ::testing::Values(
        WriteCase{u"n = '7'", 1, Cell::number(7)}, WriteCase{u"n = '0'", 1, Cell::number(0)},
        WriteCase{u"n = '-2.5'", 1, Cell::number(-2.5)}, WriteCase{u"n = 8", 1, Cell::number(8)},
        WriteCase{u"n = 0.25", 1, Cell::number(0.25)}, WriteCase{u"n = ''", 1, Cell()},
        WriteCase{u"n = NULL", 1, Cell()}, WriteCase{u"n = 'abc'", 1, Cell::text(u"abc")},
        WriteCase{u"t = '7'", 2, Cell::text(u"7")}, WriteCase{u"t = 7", 2, Cell::number(7)},
        WriteCase{u"t = ''", 2, Cell()}, WriteCase{u"t = NULL", 2, Cell()},
        WriteCase{u"t = 'it''s'", 2, Cell::text(u"it's")},
        WriteCase{u"t = ' a  '", 2, Cell::text(u" a  ")}));

TEST(CellValues, ComparisonsFollowTheColumnKind) {
    Connection connection = InMemory(KindsBook(Cell::number(7), Cell::text(u"7")));
    auto rowsWhere = [&](std::u16string_view condition) {
        Recordset rows =
            connection.execute(u"select rowid as r from [s$] where " + std::u16string(condition));
        return FieldValues(rows, u"r");
    };
    EXPECT_THAT(rowsWhere(u"n = '7'"), ElementsAre("3"));
    EXPECT_THAT(rowsWhere(u"n = 7.0"), ElementsAre("3"));
    EXPECT_THAT(rowsWhere(u"t = 7"), ElementsAre("3"));
    EXPECT_THAT(rowsWhere(u"n < 10"), ElementsAre("2", "3"));
}

TEST(CellValues, UpdateLeavesColumnsItDoesNotSetAsTheyAre) {
    Workbook book;
    Sheet& s = book.addSheet(u"s");
    s.appendRow({Cell::text(u"a"), Cell::text(u"b"), Cell::text(u"c")});
    s.appendRow({Cell::text(u"x"), Cell::number(1), Cell::number(5)}); // c: a number column
    s.appendRow({Cell::text(u"y"), Cell::number(2), Cell::text(u"05")});
    s.appendRow({Cell::text(u"z"), Cell::number(1), Cell::boolean(true)});
    s.setCell(3, 4, Cell::text(u"beyond the header"));
    Workbook before = book;
    Connection connection = InMemory(std::move(book));

    connection.execute(u"UPDATE [s$] SET a = 'new' WHERE b = 1");
    const Sheet& after = connection.workbook().sheet(1);
    EXPECT_EQ(after.cell(2, 1), Cell::text(u"new"));
    EXPECT_EQ(after.cell(4, 1), Cell::text(u"new"));
    EXPECT_EQ(after.cell(3, 1), Cell::text(u"y"));
    for (int r = 2; r <= 4; ++r) {
        for (int c = 2; c <= 4; ++c) {
            EXPECT_EQ(after.cell(r, c), before.sheet(1).cell(r, c)) << r << "," << c;
        }
    }
}

TEST(CellValues, RowsComeInSheetOrderWithEmptyRowsInBetween) {
    Workbook book;
    Sheet& s = book.addSheet(u"s");
    s.setCell(1, 1, Cell::text(u"a"));
    s.setCell(2, 1, Cell::text(u"two"));
    s.setCell(5, 1, Cell::text(u"five"));
    Connection connection = InMemory(std::move(book));

    Recordset rows = connection.execute(u"select rowid as r, a from [s$]");
    EXPECT_THAT(FieldValues(rows, u"r"), ElementsAre("2", "3", "4", "5"));
    EXPECT_THAT(FieldValues(rows, u"a"), ElementsAre("'two'", "NULL", "NULL", "'five'"));

    connection.execute(u"INSERT INTO [s$] (a) VALUES ('six')");
    EXPECT_EQ(connection.workbook().sheet(1).cell(6, 1), Cell::text(u"six"));
}

TEST(CellValues, ResultValuesBecomeCells) {
    Connection connection = InMemory(KindsBook(Cell(), Cell()));
    Recordset rows = connection.execute(
        u"select 1 as i, 2.5 as r, 'テキスト' as t, '' as e, NULL as z, x'41' as b");
    EXPECT_EQ(rows.field(u"i"), Cell::number(1));
    EXPECT_EQ(rows.field(u"r"), Cell::number(2.5));
    EXPECT_EQ(rows.field(u"t"), Cell::text(u"テキスト"));
    EXPECT_EQ(rows.field(u"e"), Cell::text(u""));
    EXPECT_TRUE(rows.field(u"z").isEmpty());
    EXPECT_EQ(rows.field(u"b"), Cell::text(u"A"));
}

TEST(CellValues, TextsKeepEveryCharacter) {
    std::u16string text = u"タブ\t改行\r\n🍣 \"引用\" 'apos' \\ %";
    text += u'\xD800'; // half a pair: a chunk border may fall inside one
    Connection connection = InMemory(KindsBook(Cell(), Cell::text(text)));
    Recordset rows = connection.execute(u"select t from [s$] where rowid = 3");
    EXPECT_EQ(rows.field(u"t").asText(), text);
}

// 124 units and then a pair: the pair is cut between URL1 and URL2, written
// by statement, compared by statement, read back and joined whole.
TEST(CellValues, APairCutByAChunkBorderComesBackWhole) {
    std::u16string url = u"http://x.jp/" + std::u16string(112, u'a') + u"𠮷z";
    ASSERT_EQ(url.size(), 127u);
    Entry entry;
    entry.url = url;
    entry.title = std::u16string(124, u't') + u"🍣";
    Connection connection = InMemory(NewDataWorkbook());
    connection.execute(BuildInsertStatement(1, entry));
    Recordset rows = connection.execute(BuildSearchStatement(url));
    ASSERT_FALSE(rows.eof());
    Entry back = ReadEntry(rows);
    EXPECT_EQ(back.url, url);
    EXPECT_EQ(back.title, entry.title);
}

struct NumberCase {
    std::string text;
    std::optional<double> value;
};

void PrintTo(const NumberCase& c, std::ostream* out) {
    *out << '"' << c.text << '"';
}

class NumberParsing : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumberParsing, AcceptsWholeDecimalNumbersOnly) {
    EXPECT_EQ(ParseNumber(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, NumberParsing,
    ::testing::Values(NumberCase{"7", 7}, NumberCase{"0", 0}, NumberCase{"-1.5", -1.5},
                      NumberCase{"+2", 2}, NumberCase{" 3 ", 3}, NumberCase{"1e3", 1000},
                      NumberCase{".5", 0.5}, NumberCase{"007", 7}, NumberCase{"", std::nullopt},
                      NumberCase{" ", std::nullopt}, NumberCase{"abc", std::nullopt},
                      NumberCase{"1e", std::nullopt}, NumberCase{"0x10", std::nullopt},
                      NumberCase{"inf", std::nullopt}, NumberCase{"nan", std::nullopt},
                      NumberCase{"1e999", std::nullopt}, NumberCase{"1 2", std::nullopt},
                      NumberCase{"--1", std::nullopt}, NumberCase{"+-1", std::nullopt},
                      NumberCase{"-", std::nullopt}, NumberCase{".", std::nullopt},
                      NumberCase{"１", std::nullopt}, NumberCase{"12abc", std::nullopt}));

} // namespace
} // namespace tomorine::test
