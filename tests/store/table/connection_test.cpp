// The table interface: statements over workbooks in memory, recordsets, and
// what close() writes to a real file.
#include "store/data_workbook.h"
#include "store/entry_statements.h"
#include "store/table/connection.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"

#include <functional>
#include <gmock/gmock.h>
#include <map>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

Entry Page(std::u16string url, std::u16string title = {}) {
    return {0, std::move(url), std::move(title), u"", u"", u""};
}

// An entry row: serial, the given text columns by name, 削除 0.
void AddEntry(Sheet& sheet, int serial, const std::map<std::u16string, std::u16string>& texts) {
    Sheet::Row row{Cell::number(serial)};
    for (int c = 1; c <= 56; ++c) {
        auto found = texts.find(EntryColumnNames()[c]);
        row.push_back(found == texts.end() ? Cell() : Cell::text(found->second));
    }
    row.push_back(Cell::number(0));
    sheet.appendRow(std::move(row));
}

// The merge's select of rows of [tmp$] with no duplicate in [トモリネ$].
std::u16string MergeSelect() {
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
std::string Shown(const Cell& cell) {
    if (cell.kind() == CellKind::Text) {
        return "'" + ToUtf8(cell.asText()) + "'";
    }
    return cell.isEmpty() ? "NULL" : ToUtf8(FormatNumber(cell.asNumber()));
}

std::vector<std::string> FieldValues(Recordset& rows, std::u16string_view field) {
    std::vector<std::string> values;
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
        values.push_back(Shown(rows.field(field)));
    }
    return values;
}

WorkbookError ErrorFrom(const std::function<void()>& action) {
    try {
        action();
    } catch (const WorkbookError& e) {
        return e;
    }
    ADD_FAILURE() << "no error";
    return WorkbookError(0, "");
}

// On a path nothing is ever saved to.
Connection InMemory(Workbook book) {
    return Connection("/nonexistent-folder/トモリネ.xls", std::move(book));
}

// One data sheet: serial 5 (URL2 an empty text, which reads Null), 2 (its
// flag the text "0", which counts as 0) and 9 (deleted, URL1 the number 5).
// A row of tmp is present when a data row equals it wherever it is not Null;
// the next select sees a change, and a recordset keeps what it read.
TEST(Statements, LiveEntriesIsNullAndTheMergeSelectInSheetOrder) {
    Workbook book = NewDataWorkbook();
    Sheet& data = book.sheet(1);
    AddEntry(
        data, 5,
        {{u"URL1", u"http://a/"}, {u"URL2", u""}, {u"タイトル1", u"A"}, {u"サブタイトル1", u"s"}});
    AddEntry(data, 2, {{u"URL1", u"http://b/"}, {u"URL16", u"more"}});
    data.setCell(4, 58, Cell::text(u"0"));
    AddEntry(data, 9, {});
    data.setCell(5, 2, Cell::number(5));
    data.setCell(5, 58, Cell::number(1));
    Sheet& tmp = book.addSheet(u"tmp");
    tmp.replaceRow(1, data.row(1));
    AddEntry(tmp, 10, {{u"URL1", u"http://new1/"}});                    // new
    AddEntry(tmp, 11, {{u"URL1", u"http://a/"}, {u"タイトル1", u"A"}}); // Null matches "s"
    AddEntry(tmp, 12, {{u"URL1", u"http://b/"}, {u"タイトル1", u"B"}}); // value vs Null: new
    AddEntry(tmp, 14, {});                                              // all Null: present
    AddEntry(tmp, 15, {{u"URL1", u"http://new1/"}});                    // repeated: new again
    AddEntry(tmp, 16, {{u"URL1", u"5"}});                               // present
    Connection connection = InMemory(std::move(book));

    Recordset live = connection.execute(u"select * from [トモリネ$] where 削除 = 0");
    EXPECT_THAT(FieldValues(live, u"シリアル番号"), ElementsAre("5", "2"));
    Recordset rows = connection.execute(
        u"select * from [トモリネ$] where URL2 is Null and URL16 is Null and 削除 = 0");
    EXPECT_THAT(FieldValues(rows, u"url1"), ElementsAre("'http://a/'"));

    Recordset first = connection.execute(MergeSelect());
    EXPECT_THAT(FieldValues(first, u"シリアル番号"), ElementsAre("10", "12", "15"));
    EXPECT_EQ(first.fieldCount(), 58);
    connection.execute(BuildUpdateStatement(2, Page(u"http://new1/")));
    Recordset second = connection.execute(MergeSelect());
    EXPECT_THAT(FieldValues(second, u"シリアル番号"), ElementsAre("12"));
    EXPECT_THAT(FieldValues(first, u"シリアル番号"), ElementsAre("10", "12", "15"));
}

TEST(Statements, ARejectedStatementNamesTheCauseAndChangesNothing) {
    Workbook before = NewDataWorkbook();
    AddEntry(before.sheet(1), 1, {{u"URL1", u"http://a/"}});
    AddEntry(before.sheet(1), 2, {{u"URL1", u"http://a/"}});
    Sheet& other = before.addSheet(u"other");
    for (int x = 0; x <= 3; ++x) {
        other.appendRow({x == 0 ? Cell::text(u"x") : Cell::number(x)});
    }
    const std::pair<std::u16string, std::string> cases[] = {
        {u"select * from [tmp$]", "シート「tmp」がありません"},
        {u"select * from [トモリネ$] where URL99 = 'x'", "列「URL99」"},
        {u"BEGIN", "トランザクション"},
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
        EXPECT_THAT(e.description(), HasSubstr("/nonexistent-folder/トモリネ.xls"));
        EXPECT_THAT(e.description(), HasSubstr(mention));
        EXPECT_FALSE(connection.changed()) << mention;
        EXPECT_EQ(ValuesOf(connection.workbook()), ValuesOf(before)) << mention;
    }
}

// A connection dropped without close() writes nothing; close() saves, and a
// peer reads serials and flags as numbers and '' as no cell.
TEST(Saving, ChangesReachTheFileOnlyOnCloseEvenWithASemicolonInThePath) {
    TempDir dir;
    const fs::path path = dir / "a;ReadOnly=1;b.xls";
    WriteXlsFile(NewDataWorkbook(), path);
    const std::vector<std::uint8_t> before = ReadBytes(path);
    Connection(Connection::ConnectionString(path)).execute(BuildInsertStatement(1, Page(u"x")));
    EXPECT_EQ(ReadBytes(path), before);

    Connection connection(Connection::ConnectionString(path));
    connection.execute(BuildInsertStatement(7, Page(u"http://a/", u"題")));
    connection.execute(BuildInsertStatement(8, Page(u"http://b/")));
    connection.execute(BuildUpdateStatement(7, Page(u"http://a/it's")));
    EXPECT_EQ(connection.rowsChanged(), 1);
    connection.close();

    Workbook expected = NewDataWorkbook();
    AddEntry(expected.sheet(1), 7, {{u"URL1", u"http://a/it's"}});
    AddEntry(expected.sheet(1), 8, {{u"URL1", u"http://b/"}});
    EXPECT_TRUE(SameAsXlrd(expected, XlrdValues(path)));
}

} // namespace
} // namespace tomorine::test
