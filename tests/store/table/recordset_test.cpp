#include "entry_fixture.h"

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

} // namespace
} // namespace tomorine::test
