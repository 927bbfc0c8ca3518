// Rejected statements: their errors, and that they leave the workbook as it was.
#include "entry_fixture.h"

#include <gmock/gmock.h>

namespace tomorine::test {
namespace {

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
        for (int s = 1; s <= 2; ++s) {
            for (int r = 1; r <= 6; ++r) {
                EXPECT_EQ(connection.workbook().sheet(s).row(r), before.sheet(s).row(r)) << mention;
            }
        }
    }
}

} // namespace
} // namespace tomorine::test
