// The statement texts the program sends, and statements the table refuses,
// run against workbooks in memory.
#include "entry_fixture.h"
#include "store/entry_statements.h"
#include "support/xls_peer.h"

#include <gmock/gmock.h>

namespace tomorine::test {
namespace {

using ::testing::ElementsAre;

constexpr std::u16string_view kMaxSerial = u"select max(シリアル番号) as cnt from [トモリネ$]";
constexpr std::u16string_view kLiveEntries = u"select * from [トモリネ$] where 削除 = 0";

std::string MaxSerial(Connection& connection) {
    Recordset rows = connection.execute(kMaxSerial);
    return Shown(rows.field(u"cnt"));
}

TEST(StatementForms, LiveEntriesCompareTheFlagNumericallyAndEmptyCellsMatchIsNull) {
    Workbook book = NewDataWorkbook();
    AddEntry(book.sheet(1), 5, {{u"URL1", u"http://a/"}});
    book.sheet(1).setCell(3, 3, Cell::text(u"")); // an empty text reads Null too
    AddEntry(book.sheet(1), 2, {{u"URL1", u"http://a/"}, {u"URL16", u"more"}});
    book.sheet(1).setCell(4, 58, Cell::text(u"0")); // a text "0" still counts as 0
    AddEntry(book.sheet(1), 9, {{u"URL1", u"http://a/"}});
    book.sheet(1).setCell(5, 58, Cell::number(1));
    Connection connection = InMemory(std::move(book));

    Recordset live = connection.execute(kLiveEntries);
    EXPECT_THAT(FieldValues(live, u"シリアル番号"), ElementsAre("5", "2"));
    std::u16string sql = u"select * from [トモリネ$] where URL1 = 'http://a/' and ";
    for (int c = 2; c <= 16; ++c) {
        sql += EntryColumnNames()[c] + u" is Null and ";
    }
    Recordset rows = connection.execute(sql + u"削除 = 0");
    EXPECT_THAT(FieldValues(rows, u"url1"), ElementsAre("'http://a/'"));
    EXPECT_THAT(FieldValues(rows, u"シリアル番号"), ElementsAre("5"));
}

TEST(StatementForms, InsertAndUpdateStoreQuotedNumbersAsNumbersAndEmptyLiteralsAsEmptyCells) {
    Workbook headerOnly = NewDataWorkbook();
    headerOnly.sheet(1).deleteRow(2);
    Connection empty = InMemory(std::move(headerOnly));
    EXPECT_EQ(MaxSerial(empty), "NULL");
    Connection connection = InMemory(NewDataWorkbook());
    EXPECT_EQ(MaxSerial(connection), "0");

    connection.execute(BuildInsertStatement(7, Page(u"http://a/it's", u"題  ")));
    connection.execute(BuildInsertStatement(8, Page(u"http://b/")));
    EXPECT_EQ(MaxSerial(connection), "8");
    const Sheet& sheet = connection.workbook().sheet(1);
    const Sheet::Row row4 = sheet.row(4);
    ASSERT_EQ(sheet.lastUsedRow(), 4);
    EXPECT_EQ(sheet.cell(3, 1), Cell::number(7));
    EXPECT_EQ(sheet.cell(3, 2), Cell::text(u"http://a/it's"));
    EXPECT_TRUE(sheet.cell(3, 3).isEmpty());
    EXPECT_EQ(sheet.cell(3, 18), Cell::text(u"題\t\t"));
    EXPECT_EQ(sheet.cell(3, 58), Cell::number(0));

    connection.execute(BuildUpdateStatement(7, Page(u"http://7/")));
    EXPECT_EQ(connection.rowsChanged(), 1);
    EXPECT_EQ(sheet.cell(3, 2), Cell::text(u"http://7/"));
    EXPECT_TRUE(sheet.cell(3, 18).isEmpty());
    EXPECT_EQ(sheet.row(4), row4);
}

// The merge's duplicate rule: a reference row is present when some data row
// equals it in every text column where the reference row is not Null.
TEST(StatementForms, MergeSelectPicksUnmatchedRowsInSheetOrder) {
    Workbook book = NewDataWorkbook();
    Sheet& data = book.sheet(1);
    AddEntry(data, 1, {{u"URL1", u"http://a/"}, {u"タイトル1", u"A"}, {u"サブタイトル1", u"s"}});
    AddEntry(data, 2, {{u"URL1", u"http://b/"}});
    Sheet& tmp = book.copySheetAfter(data, data);
    book.renameSheet(tmp, u"tmp");
    tmp.deleteRow(4);
    tmp.deleteRow(3); // the dummy row stays: it has its twin in the data sheet
    AddEntry(tmp, 10, {{u"URL1", u"http://new1/"}});                        // new
    AddEntry(tmp, 11, {{u"URL1", u"http://a/"}, {u"タイトル1", u"A"}});     // Null matches "s"
    AddEntry(tmp, 12, {{u"URL1", u"http://b/"}, {u"タイトル1", u"B"}});     // value vs Null: new
    AddEntry(tmp, 13, {{u"URL1", u"http://a/"}, {u"タイトル1", u"other"}}); // new
    AddEntry(tmp, 14, {});                                                  // all Null: present
    AddEntry(tmp, 15, {{u"URL1", u"http://new1/"}});                        // repeated: new again
    Connection connection = InMemory(std::move(book));

    Recordset rows = connection.execute(MergeSelect());
    EXPECT_THAT(FieldValues(rows, u"シリアル番号"), ElementsAre("10", "12", "13", "15"));
    EXPECT_EQ(rows.fieldCount(), 58);
}

// Texts converted once per statement for the repeated inner scans must
// compare as the cells read, and must not outlive a change of the sheet.
TEST(StatementForms, MergeSelectComparesCellsAsTheyReadAndSeesLaterChanges) {
    Workbook book = NewDataWorkbook();
    Sheet& data = book.sheet(1);
    AddEntry(data, 1, {{u"URL1", u"x"}});
    data.setCell(3, 2, Cell::number(5)); // reads '5' in a text column
    AddEntry(data, 2, {{u"URL1", u"y"}});
    data.setCell(4, 2, Cell::boolean(true)); // reads 'TRUE'
    Sheet& tmp = book.addSheet(u"tmp");
    tmp.replaceRow(1, data.row(1));
    for (std::u16string_view url : {u"5", u"TRUE", u"z", u"y"}) {
        AddEntry(tmp, 9, {{u"URL1", std::u16string(url)}});
    }
    Connection connection = InMemory(std::move(book));

    Recordset first = connection.execute(MergeSelect());
    EXPECT_THAT(FieldValues(first, u"URL1"), ElementsAre("'z'", "'y'"));
    connection.execute(BuildUpdateStatement(1, Page(u"z")));
    Recordset second = connection.execute(MergeSelect());
    EXPECT_THAT(FieldValues(second, u"URL1"), ElementsAre("'5'", "'y'"));
    EXPECT_THAT(FieldValues(first, u"URL1"), ElementsAre("'z'", "'y'")); // a snapshot
}

TEST(StatementForms, KeywordSheetListsDistinctKeywordsSorted) {
    Workbook book = NewDataWorkbook();
    book.addSheet(u"キーワード一覧").setCell(1, 1, Cell::text(u"keyword"));
    Connection connection = InMemory(std::move(book));

    for (std::u16string_view word : {u"sports", u"news", u"it''s", u"sports", u"2024", u"天気"}) {
        connection.execute(u"INSERT INTO [キーワード一覧$] (keyword) VALUES ('" +
                           std::u16string(word) + u"')");
    }
    Recordset rows =
        connection.execute(u"SELECT distinct keyword FROM [キーワード一覧$] ORDER BY keyword");
    EXPECT_THAT(FieldValues(rows, u"keyword"),
                ElementsAre("'2024'", "'it's'", "'news'", "'sports'", "'天気'"));
    // The column has no first data row: its kind is text, so "2024" stays text.
    EXPECT_EQ(connection.workbook().sheet(2).cell(6, 1), Cell::text(u"2024"));
}

TEST(StatementErrors, ARejectedStatementNamesTheCauseAndChangesNothing) {
    Workbook before = NewDataWorkbook();
    for (int serial = 1; serial <= 3; ++serial) {
        AddEntry(before.sheet(1), serial, {{u"URL1", u"http://a/"}});
    }
    Sheet& other = before.addSheet(u"other");
    for (int x = 0; x <= 3; ++x) {
        other.appendRow({x == 0 ? Cell::text(u"x") : Cell::number(x)});
    }
    const std::pair<std::u16string, std::string> cases[] = {
        {u"select * from [tmp$]", "シート「tmp」がありません"},
        {u"select * from [トモリネ$] where URL99 = 'x'", "列「URL99」"},
        {u"INSERT INTO [other$] (y) VALUES ('1')", "列「y」"},
        {u"selec * from [other$]", "syntax error"},
        {u"DELETE FROM [other$] WHERE x = 1", "DELETE"},
        {u"BEGIN", "トランザクション"},
        {u"DROP TABLE [other$]", "実行できません"},
        {u"select 1; UPDATE [other$] SET x = 5", "一つだけ"},
        // Fails on the third row, after two rows were rewritten.
        {u"UPDATE [other$] SET x = 'z', rowid = CASE WHEN rowid = 4 THEN 9 ELSE rowid END",
         "rowid"},
        // Fails on the second row read from another sheet, after one insert.
        {u"INSERT INTO [other$] (x) SELECT CASE WHEN シリアル番号 = 2 THEN "
         u"abs(-9223372036854775807 - 1) ELSE 5 END FROM [トモリネ$] WHERE 削除 = 0",
         "integer overflow"}};
    for (const auto& [statement, mention] : cases) {
        Connection connection = InMemory(before);
        WorkbookError e = ErrorFrom([&] { connection.execute(statement); });
        EXPECT_EQ(e.number(), ErrorNumber::Statement) << mention;
        EXPECT_THAT(e.description(), ::testing::HasSubstr("/nonexistent-folder/トモリネ.xls"));
        EXPECT_THAT(e.description(), ::testing::HasSubstr(mention));
        EXPECT_FALSE(connection.changed()) << mention;
        EXPECT_EQ(ValuesOf(connection.workbook()), ValuesOf(before)) << mention;
    }
}

} // namespace
} // namespace tomorine::test
