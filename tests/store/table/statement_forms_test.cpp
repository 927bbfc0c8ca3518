// The statement texts the program sends, run against workbooks in memory.
#include "entry_fixture.h"
#include "store/table/connection.h"
#include "store/workbook/workbook_error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::u16string_view kMaxSerial = u"select max(シリアル番号) as cnt from [トモリネ$]";
constexpr std::u16string_view kLiveEntries = u"select * from [トモリネ$] where 削除 = 0";

std::string MaxSerial(Connection& connection) {
    Recordset rows = connection.execute(kMaxSerial);
    return Shown(rows.field(u"cnt"));
}

TEST(StatementForms, MaxSerialOfHeaderOnlyAndOfDummyRow) {
    Workbook headerOnly = EntryWorkbook();
    headerOnly.sheet(1).deleteRow(2);
    Connection empty = InMemory(std::move(headerOnly));
    EXPECT_EQ(MaxSerial(empty), "NULL");

    Connection dummy = InMemory(EntryWorkbook());
    EXPECT_EQ(MaxSerial(dummy), "0");
}

TEST(StatementForms, SelectLiveEntriesComparesTheFlagNumericallyInSheetOrder) {
    Workbook book = EntryWorkbook();
    AddEntry(book.sheet(1), 5, {{u"URL1", u"http://e/"}});
    AddEntry(book.sheet(1), 2, {{u"URL1", u"http://b/"}});
    book.sheet(1).setCell(4, 58, Cell::text(u"0")); // a text "0" still counts as 0
    AddEntry(book.sheet(1), 9, {{u"URL1", u"http://x/"}});
    book.sheet(1).setCell(5, 58, Cell::number(1));
    Connection connection = InMemory(std::move(book));

    Recordset rows = connection.execute(kLiveEntries);
    EXPECT_THAT(FieldValues(rows, u"シリアル番号"), ElementsAre("5", "2"));
    EXPECT_THAT(FieldValues(rows, u"url1"), ElementsAre("'http://e/'", "'http://b/'"));
}

TEST(StatementForms, EmptyChunksMatchIsNull) {
    Workbook book = EntryWorkbook();
    AddEntry(book.sheet(1), 1, {{u"URL1", u"http://a/"}});
    AddEntry(book.sheet(1), 2, {{u"URL1", u"http://a/"}, {u"URL2", u"more"}});
    book.sheet(1).setCell(3, 3, Cell::text(u"")); // an empty text reads Null too
    Connection connection = InMemory(std::move(book));

    std::u16string sql = u"select * from [トモリネ$] where URL1 = 'http://a/' and ";
    for (int i = 2; i <= 15; ++i) {
        std::string n = std::to_string(i);
        sql += u"URL" + std::u16string(n.begin(), n.end()) + u" is Null and ";
    }
    sql += u"URL16 is Null and 削除 = 0";
    Recordset rows = connection.execute(sql);
    EXPECT_THAT(FieldValues(rows, u"シリアル番号"), ElementsAre("1"));
}

TEST(StatementForms, InsertWritesQuotedSerialsAsNumbersAndEmptyLiteralsAsEmptyCells) {
    Connection connection = InMemory(EntryWorkbook());
    connection.execute(InsertStatement(u"[トモリネ$]", 7,
                                       {{u"URL1", u"http://a/it''s"}, {u"タイトル1", u"題\t\t"}}));

    const Sheet& sheet = connection.workbook().sheet(1);
    ASSERT_EQ(sheet.lastUsedRow(), 3);
    EXPECT_EQ(sheet.cell(3, 1), Cell::number(7));
    EXPECT_EQ(sheet.cell(3, 2), Cell::text(u"http://a/it's"));
    EXPECT_TRUE(sheet.cell(3, 3).isEmpty());
    EXPECT_EQ(sheet.cell(3, 18), Cell::text(u"題\t\t"));
    EXPECT_EQ(sheet.cell(3, 58), Cell::number(0));
    EXPECT_TRUE(connection.changed());

    EXPECT_EQ(MaxSerial(connection), "7");
    Recordset rows = connection.execute(kLiveEntries);
    EXPECT_THAT(FieldValues(rows, u"URL2"), ElementsAre("NULL"));
}

TEST(StatementForms, UpdateRewritesTheEntryInPlace) {
    Workbook book = EntryWorkbook();
    AddEntry(book.sheet(1), 1, {{u"URL1", u"http://one/"}});
    AddEntry(book.sheet(1), 2, {{u"URL1", u"http://two/"}, {u"コメント3", u"old"}});
    AddEntry(book.sheet(1), 3, {{u"URL1", u"http://three/"}});
    Connection connection = InMemory(std::move(book));

    connection.execute(UpdateStatement(2, {{u"URL1", u"http://2/"}, {u"タイトル1", u"新"}}));

    const Sheet& sheet = connection.workbook().sheet(1);
    EXPECT_EQ(sheet.lastUsedRow(), 5);
    EXPECT_EQ(sheet.cell(4, 1), Cell::number(2));
    EXPECT_EQ(sheet.cell(4, 2), Cell::text(u"http://2/"));
    EXPECT_EQ(sheet.cell(4, 18), Cell::text(u"新"));
    EXPECT_TRUE(sheet.cell(4, 28).isEmpty());
    EXPECT_EQ(sheet.cell(3, 2), Cell::text(u"http://one/"));
    EXPECT_EQ(sheet.cell(5, 2), Cell::text(u"http://three/"));
}

TEST(StatementForms, UpdateOfAMissingSerialChangesNothing) {
    Workbook book = EntryWorkbook();
    AddEntry(book.sheet(1), 1, {{u"URL1", u"http://one/"}});
    Workbook before = book;
    Connection connection = InMemory(std::move(book));

    EXPECT_NO_THROW(connection.execute(UpdateStatement(99, {{u"URL1", u"x"}})));
    EXPECT_FALSE(connection.changed());
    EXPECT_EQ(connection.workbook().sheet(1).row(3), before.sheet(1).row(3));
}

TEST(StatementForms, UpdateToTheSameValuesIsNoChange) {
    Workbook book = EntryWorkbook();
    AddEntry(book.sheet(1), 4, {{u"URL1", u"http://one/"}});
    Connection connection = InMemory(std::move(book));
    connection.execute(UpdateStatement(4, {{u"URL1", u"http://one/"}}));
    EXPECT_FALSE(connection.changed());
}

// The merge's duplicate rule: a reference row is present when some data row
// equals it in every text column where the reference row is not Null.
TEST(StatementForms, MergeSelectPicksUnmatchedRowsInSheetOrder) {
    Workbook book = EntryWorkbook();
    Sheet& data = book.sheet(1);
    AddEntry(data, 1, {{u"URL1", u"http://a/"}, {u"タイトル1", u"A"}, {u"サブタイトル1", u"s"}});
    AddEntry(data, 2, {{u"URL1", u"http://b/"}});
    Sheet& tmp = book.copySheetAfter(data, data);
    book.renameSheet(tmp, u"tmp");
    tmp.deleteRow(4);
    tmp.deleteRow(3);
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

TEST(StatementForms, MergeSelectLeavesOutTheDummyRowAndKnownEntries) {
    Workbook book = EntryWorkbook();
    AddEntry(book.sheet(1), 1, {{u"URL1", u"http://a/"}});
    Sheet& tmp = book.copySheetAfter(book.sheet(1), book.sheet(1));
    book.renameSheet(tmp, u"tmp");
    Connection connection = InMemory(std::move(book));

    Recordset rows = connection.execute(MergeSelect());
    EXPECT_TRUE(rows.bof());
    EXPECT_TRUE(rows.eof());
}

// Texts converted once per statement for the repeated inner scans must
// compare as the cells read, and must not outlive a change of the sheet.
TEST(StatementForms, MergeSelectComparesCellsAsTheyReadAndSeesLaterChanges) {
    Workbook book = EntryWorkbook();
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
    connection.execute(UpdateStatement(1, {{u"URL1", u"z"}}));
    Recordset second = connection.execute(MergeSelect());
    EXPECT_THAT(FieldValues(second, u"URL1"), ElementsAre("'5'", "'y'"));
}

TEST(StatementForms, MergeInsertsCopyRowsWithNewSerials) {
    Workbook book = EntryWorkbook();
    Sheet& tmp = book.addSheet(u"tmp");
    for (int r = 1; r <= 2; ++r) {
        tmp.replaceRow(r, book.sheet(1).row(r));
    }
    AddEntry(tmp, 99, {{u"URL1", u"abc"}, {u"タイトル1", u"it's"}});
    Connection connection = InMemory(std::move(book));

    Recordset picked = connection.execute(MergeSelect());
    ASSERT_EQ(picked.recordCount(), 1);
    Texts texts;
    for (const std::u16string& c : TextColumns()) {
        const Cell& value = picked.field(c);
        if (!value.isEmpty()) {
            std::u16string escaped;
            for (char16_t ch : value.asText()) {
                escaped += ch == u'\'' ? u"''" : std::u16string(1, ch);
            }
            texts[c] = escaped;
        }
    }
    connection.execute(InsertStatement(u"[トモリネ$]", 42, texts));

    const Sheet& data = connection.workbook().sheet(u"トモリネ");
    EXPECT_EQ(data.cell(3, 1), Cell::number(42));
    EXPECT_EQ(data.cell(3, 2), Cell::text(u"abc"));
    EXPECT_EQ(data.cell(3, 18), Cell::text(u"it's"));
    EXPECT_EQ(data.row(3).size(), 58u);
    EXPECT_EQ(picked.recordCount(), 1); // the recordset is a snapshot
}

TEST(StatementForms, KeywordSheetCollectsAndListsDistinctKeywordsSorted) {
    Workbook book = EntryWorkbook();
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
    // The keyword column has no first data row: its kind is text, so "2024" stays text.
    EXPECT_EQ(connection.workbook().sheet(2).cell(6, 1), Cell::text(u"2024"));
}

TEST(StatementForms, SelectAllOnASheetWithoutURL5FailsWith3265WhenURL5IsRead) {
    Workbook book;
    Sheet& sheet = book.addSheet(u"トモリネ");
    sheet.appendRow({Cell::text(u"シリアル番号"), Cell::text(u"URL1"), Cell::text(u"URL2")});
    sheet.appendRow({Cell::number(0), Cell::text(u"dummy")});
    Connection connection = InMemory(std::move(book));

    Recordset rows = connection.execute(u"SELECT * FROM [トモリネ$]");
    ASSERT_FALSE(rows.eof());
    try {
        rows.field(u"URL5");
        FAIL() << "URL5 was found";
    } catch (const WorkbookError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::ItemNotFound);
        EXPECT_THAT(e.description(), ::testing::HasSubstr("URL5"));
    }
}

TEST(StatementForms, EmptyResultIsBofAndEof) {
    Connection connection = InMemory(EntryWorkbook());
    Recordset rows = connection.execute(kLiveEntries);
    EXPECT_TRUE(rows.isOpen());
    EXPECT_TRUE(rows.bof());
    EXPECT_TRUE(rows.eof());
    EXPECT_THAT(FieldValues(rows, u"URL1"), IsEmpty());
    EXPECT_EQ(rows.fieldCount(), 58);
}

} // namespace
} // namespace tomorine::test
