#include "entry_fixture.h"
#include "store/entry_statements.h"

#include <gmock/gmock.h>

namespace tomorine::test {
namespace {

TEST(Recordset, NavigationStopsAtBofAndEof) {
    Recordset rows({u"n"}, {Cell::number(0), Cell::number(1), Cell::number(2)});
    // A move, then the position, BOF and EOF it leads to.
    const std::tuple<long, long, bool, bool> steps[] = {
        {0, 0, false, false},  {2, 2, false, false},   {1, 3, false, true}, {1, 3, false, true},
        {-2, 1, false, false}, {-10, -1, true, false}, {5, 3, false, true}};
    for (const auto& [move, position, bof, eof] : steps) {
        rows.move(move);
        EXPECT_EQ(rows.position(), position) << move;
        EXPECT_EQ(rows.bof(), bof) << move;
        EXPECT_EQ(rows.eof(), eof) << move;
    }
    rows.moveFirst();
    rows.moveNext();
    EXPECT_EQ(rows.field(u"N"), Cell::number(1));

    Recordset empty({u"a"}, {});
    EXPECT_TRUE(empty.isOpen() && empty.bof() && empty.eof());
    EXPECT_EQ(ErrorFrom([&] { empty.field(u"a"); }).number(), ErrorNumber::NoCurrentRecord);
}

TEST(Recordset, AFieldTheStatementDidNotSelectIsError3265NamingIt) {
    Connection connection = InMemory(NewDataWorkbook());
    Recordset rows = connection.execute(u"SELECT シリアル番号, URL1 FROM [トモリネ$]");
    const WorkbookError e = ErrorFrom([&] { rows.field(u"URL5"); });
    EXPECT_EQ(e.number(), ErrorNumber::ItemNotFound);
    EXPECT_THAT(e.description(), ::testing::HasSubstr("URL5"));
    EXPECT_EQ(ErrorFrom([&] { rows.field(2); }).number(), ErrorNumber::ItemNotFound);
}

// Rows stay as they were read while the program goes on writing, and after.
TEST(Recordset, IsASnapshotUnaffectedByLaterStatements) {
    Workbook book = NewDataWorkbook();
    AddEntry(book.sheet(1), 1, {{u"URL1", u"http://a/"}});
    Recordset rows;
    {
        Connection connection = InMemory(std::move(book));
        rows = connection.execute(u"select * from [トモリネ$] where 削除 = 0");
        connection.execute(BuildUpdateStatement(1, Page(u"http://changed/")));
        connection.execute(BuildInsertStatement(2, Page(u"http://b/")));
    }
    EXPECT_THAT(FieldValues(rows, u"URL1"), ::testing::ElementsAre("'http://a/'"));
}

} // namespace
} // namespace tomorine::test
