// Rejected statements: their errors, and that they leave the workbook as it was.
#include "entry_fixture.h"
#include "store/table/connection.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <ostream>

namespace tomorine::test {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;

// Runs a statement that must fail and returns its error.
WorkbookError Failure(Connection& connection, std::u16string_view statement) {
    try {
        connection.execute(statement);
    } catch (const WorkbookError& e) {
        return e;
    }
    ADD_FAILURE() << "no error";
    return WorkbookError(0, "");
}

Workbook SmallBook() {
    Workbook book = EntryWorkbook();
    AddEntry(book.sheet(1), 1, {{u"URL1", u"http://a/"}});
    AddEntry(book.sheet(1), 2, {{u"URL1", u"http://b/"}});
    AddEntry(book.sheet(1), 3, {{u"URL1", u"http://c/"}});
    Sheet& other = book.addSheet(u"other");
    other.appendRow({Cell::text(u"x")});
    for (int i = 1; i <= 3; ++i) {
        other.appendRow({Cell::number(i)});
    }
    return book;
}

struct RejectedCase {
    std::u16string statement;
    std::vector<std::string> mentions;
};

void PrintTo(const RejectedCase& c, std::ostream* out) {
    *out << ToUtf8(c.statement);
}

class RejectedStatement : public ::testing::TestWithParam<RejectedCase> {};

TEST_P(RejectedStatement, FailsWithStatementErrorAndChangesNothing) {
    Workbook before = SmallBook();
    Connection connection = InMemory(before);
    WorkbookError e = Failure(connection, GetParam().statement);
    EXPECT_EQ(e.number(), ErrorNumber::Statement);
    EXPECT_THAT(e.description(), HasSubstr("/nonexistent-folder/トモリネ.xls"));
    for (const std::string& mention : GetParam().mentions) {
        EXPECT_THAT(e.description(), HasSubstr(mention));
    }
    EXPECT_FALSE(connection.changed());
    for (int s = 1; s <= before.sheetCount(); ++s) {
        for (int r = 1; r <= 6; ++r) {
            EXPECT_EQ(connection.workbook().sheet(s).row(r), before.sheet(s).row(r));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, RejectedStatement,
    ::testing::Values(
        RejectedCase{u"select * from [tmp$]", {"シート「tmp」がありません"}},
        RejectedCase{u"select * from tmp", {"表「tmp」", "no such table"}},
        RejectedCase{u"select * from [トモリネ$] where URL99 = 'x'", {"列「URL99」"}},
        RejectedCase{u"INSERT INTO [other$] (y) VALUES ('1')", {"シート「other」", "列「y」"}},
        RejectedCase{u"selec * from [other$]", {"syntax error"}},
        RejectedCase{u"DELETE FROM [other$] WHERE x = 1", {"DELETE"}},
        RejectedCase{u"DELETE FROM [other$] WHERE x = 99", {"DELETE"}},
        RejectedCase{u"BEGIN", {"トランザクション"}},
        RejectedCase{u"SAVEPOINT a", {"トランザクション"}},
        RejectedCase{u"CREATE TABLE t(a)", {"実行できません"}},
        RejectedCase{u"DROP TABLE [other$]", {"実行できません"}},
        RejectedCase{u"ATTACH ':memory:' AS a", {"実行できません"}},
        RejectedCase{u"VACUUM", {"実行できません"}},
        RejectedCase{u"PRAGMA user_version = 3", {"実行できません"}},
        RejectedCase{u"select 1; UPDATE [other$] SET x = 5", {"一つだけ"}},
        RejectedCase{u"  -- nothing", {"空"}},
        RejectedCase{u"INSERT INTO [other$] (rowid, x) VALUES (9, 1)", {"rowid"}},
        // Fails on the third row, after two rows were rewritten.
        RejectedCase{u"UPDATE [other$] SET x = 'z', rowid = CASE WHEN rowid = 4 THEN 9 "
                     u"ELSE rowid END",
                     {"rowid"}},
        // Fails on the second row read from another sheet, after one insert.
        RejectedCase{u"INSERT INTO [other$] (x) SELECT CASE WHEN シリアル番号 = 2 THEN "
                     u"abs(-9223372036854775807 - 1) ELSE 5 END FROM [トモリネ$] "
                     u"WHERE 削除 = 0",
                     {"integer overflow"}}));

TEST(StatementErrors, TrailingSemicolonAndCommentAreOneStatement) {
    Connection connection = InMemory(SmallBook());
    EXPECT_EQ(connection.execute(u"select * from [other$];  -- all\n").recordCount(), 3);
    EXPECT_EQ(connection.execute(u"select * from [other$] /* all */ ;;").recordCount(), 3);
}

TEST(StatementErrors, InsertBeyondTheLastRowIsRefusedWithTheSheetsOwnError) {
    Workbook book;
    Sheet& sheet = book.addSheet(u"full");
    sheet.setCell(1, 1, Cell::text(u"a"));
    sheet.setCell(Sheet::MaxRows - 1, 1, Cell::text(u"last but one"));
    Connection connection = InMemory(std::move(book));

    // Two rows: the first still fits, the second does not; neither stays.
    WorkbookError e = Failure(connection, u"INSERT INTO [full$] (a) VALUES ('x'), ('y')");
    EXPECT_EQ(e.number(), ErrorNumber::SheetRule);
    EXPECT_THAT(e.description(), AllOf(HasSubstr("full"), HasSubstr("65536")));
    EXPECT_EQ(connection.workbook().sheet(1).lastUsedRow(), Sheet::MaxRows - 1);
    EXPECT_FALSE(connection.changed());

    connection.execute(u"INSERT INTO [full$] (a) VALUES ('x')");
    EXPECT_EQ(connection.workbook().sheet(1).cell(Sheet::MaxRows, 1), Cell::text(u"x"));
    EXPECT_EQ(Failure(connection, u"INSERT INTO [full$] (a) VALUES ('y')").number(),
              ErrorNumber::SheetRule);
}

TEST(StatementErrors, ClosedConnectionRefusesStatements) {
    Connection connection = InMemory(SmallBook());
    connection.close();
    EXPECT_FALSE(connection.isOpen());
    EXPECT_NO_THROW(connection.close());
    EXPECT_EQ(Failure(connection, u"select * from [other$]").number(), ErrorNumber::Statement);
}

TEST(StatementErrors, ConnectionStringWithoutAFileIsRefused) {
    try {
        Connection connection(u"Driver={Microsoft Excel Driver (*.xls)};ReadOnly=0");
        FAIL() << "opened";
    } catch (const WorkbookError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::Statement);
        EXPECT_THAT(e.description(), HasSubstr("DBQ="));
    }
}

} // namespace
} // namespace tomorine::test
