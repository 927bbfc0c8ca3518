#include "entry_fixture.h"
#include "store/table/table_columns.h"
#include "store/workbook/utf.h"

#include <algorithm>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <ostream>

namespace tomorine::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

std::vector<std::string> Names(const Sheet& sheet) {
    std::vector<std::string> names;
    for (const TableColumn& c : TableColumns(sheet)) {
        names.push_back(ToUtf8(c.name));
    }
    return names;
}

struct HeaderCase {
    const char* what;
    Sheet::Row header;
    std::vector<std::string> names;
};

void PrintTo(const HeaderCase& c, std::ostream* out) {
    *out << c.what;
}

class ColumnNames : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(ColumnNames, ComeFromRowOne) {
    Sheet sheet(u"s");
    sheet.appendRow(GetParam().header);
    EXPECT_THAT(Names(sheet), ElementsAreArray(GetParam().names));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ColumnNames,
    ::testing::Values(
        HeaderCase{
            "texts", {Cell::text(u"シリアル番号"), Cell::text(u"URL1")}, {"シリアル番号", "URL1"}},
        HeaderCase{"numbers", {Cell::number(2020), Cell::number(1.5)}, {"2020", "1.5"}},
        HeaderCase{"others", {Cell::boolean(true), Cell::error(0x07)}, {"TRUE", "#DIV/0!"}},
        HeaderCase{"gaps",
                   {Cell::text(u"a"), Cell(), Cell::text(u""), Cell::text(u"d")},
                   {"a", "F2", "F3", "d"}},
        HeaderCase{"NUL", {Cell::text(std::u16string(u"a\0b", 3))}, {"F1"}},
        HeaderCase{"duplicates",
                   {Cell::text(u"x"), Cell::text(u"x"), Cell::text(u"X"), Cell::text(u"x2")},
                   {"x", "x3", "X4", "x2"}},
        HeaderCase{
            "generic clash", {Cell::text(u"F2"), Cell(), Cell::text(u"c")}, {"F2", "F22", "c"}}),
    [](const auto& info) {
        std::string name = info.param.what;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST(TableColumns, SheetWithoutRowOneHasColumnsUpToItsWidestRow) {
    Sheet empty(u"s");
    EXPECT_THAT(Names(empty), ElementsAre("F1"));

    Sheet noHeader(u"s");
    noHeader.setCell(3, 3, Cell::text(u"x"));
    EXPECT_THAT(Names(noHeader), ElementsAre("F1", "F2", "F3"));

    Sheet wideData(u"s");
    wideData.appendRow({Cell::text(u"a")});
    wideData.setCell(7, 2, Cell::text(u"x"));
    EXPECT_THAT(Names(wideData), ElementsAre("a", "F2"));
}

TEST(TableColumns, KindIsThatOfRowTwo) {
    Sheet sheet(u"s");
    sheet.appendRow(
        {Cell::text(u"a"), Cell::text(u"b"), Cell::text(u"c"), Cell::text(u"d"), Cell::text(u"e")});
    sheet.appendRow({Cell::number(0), Cell::text(u"1"), Cell::boolean(true), Cell()});
    sheet.appendRow(
        {Cell::text(u"x"), Cell::number(1), Cell::number(1), Cell::number(1), Cell::number(1)});
    std::vector<ColumnKind> kinds;
    for (const TableColumn& c : TableColumns(sheet)) {
        kinds.push_back(c.kind);
    }
    EXPECT_THAT(kinds, ElementsAre(ColumnKind::Number, ColumnKind::Text, ColumnKind::Text,
                                   ColumnKind::Text, ColumnKind::Text));
}

TEST(TableColumns, RenamedColumnsAreReachableInStatements) {
    Workbook book;
    Sheet& sheet = book.addSheet(u"it's \"q\"");
    sheet.appendRow({Cell::text(u"x"), Cell::text(u"X"), Cell(), Cell::text(u"a b")});
    sheet.appendRow({Cell::text(u"1"), Cell::text(u"2"), Cell::text(u"3"), Cell::text(u"4")});
    Connection connection = InMemory(std::move(book));
    Recordset rows = connection.execute(u"select x, X2, F3, [a b] from [it's \"q\"$]");
    EXPECT_EQ(rows.field(u"x2").asText(), u"2");
    EXPECT_EQ(rows.field(u"f3").asText(), u"3");
    EXPECT_EQ(rows.field(u"A B").asText(), u"4");
}

TEST(TableColumns, SheetNamesMatchWithoutAsciiCase) {
    Connection connection = InMemory(EntryWorkbook());
    EXPECT_EQ(connection.execute(u"select * from [トモリネ$]").recordCount(), 1);
    Workbook book;
    book.addSheet(u"Data").appendRow({Cell::text(u"a")});
    Connection other = InMemory(std::move(book));
    EXPECT_NO_THROW(other.execute(u"select * from [DATA$]"));
}

} // namespace
} // namespace tomorine::test
