// The table interface: rejected statements change nothing; close() alone
// writes to a real file.
#include "store/data_workbook.h"
#include "store/entry_statements.h"
#include "store/table/connection.h"
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

WorkbookError ErrorFrom(const std::function<void()>& action) {
    try {
        action();
    } catch (const WorkbookError& e) {
        return e;
    }
    ADD_FAILURE() << "no error";
    return WorkbookError(WorkbookFault::FileAccess, "");
}

// On a path nothing is ever saved to.
Connection InMemory(Workbook book) {
    return Connection("/nonexistent-folder/トモリネ.xls", std::move(book));
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
        EXPECT_EQ(e.fault(), WorkbookFault::Statement) << mention;
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
    Connection(path).execute(BuildInsertStatement(1, Page(u"x")));
    EXPECT_EQ(ReadBytes(path), before);

    Connection connection(path);
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
