// Connections on real files: what close() writes, and what it leaves alone.
#include "entry_fixture.h"
#include "store/entry_statements.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"

#include <gmock/gmock.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;

// A peer reads the saved file: serial and flag are numbers, '' left no cell.
TEST(Saving, ChangesReachTheFileOnCloseEvenWithASemicolonInThePath) {
    TempDir dir;
    const fs::path path = dir / "a;ReadOnly=1;b.xls";
    WriteXlsFile(NewDataWorkbook(), path);
    Connection connection(Connection::ConnectionString(path));
    connection.execute(BuildInsertStatement(7, Page(u"http://a/")));
    connection.execute(u"UPDATE [トモリネ$] SET タイトル1 = 'it''s' WHERE シリアル番号 = 7");
    connection.close();

    Workbook expected = NewDataWorkbook();
    AddEntry(expected.sheet(1), 7, {{u"URL1", u"http://a/"}, {u"タイトル1", u"it's"}});
    EXPECT_TRUE(SameAsXlrd(expected, XlrdValues(path)));
}

TEST(Saving, DestroyingAnOpenConnectionDiscardsItsChanges) {
    TempDir dir;
    const fs::path path = dir / "a.xls";
    WriteXlsFile(NewDataWorkbook(), path);
    const std::vector<std::uint8_t> before = ReadBytes(path);
    {
        Connection connection(Connection::ConnectionString(path));
        connection.execute(BuildInsertStatement(1, Page(u"http://a/")));
    }
    EXPECT_EQ(ReadBytes(path), before);
}

TEST(Saving, AFailedSaveKeepsTheConnectionOpenForAnotherTry) {
    TempDir dir;
    const fs::path folder = dir / "data";
    fs::create_directory(folder);
    Connection connection(folder / "a.xls", NewDataWorkbook());
    connection.execute(BuildInsertStatement(1, Page(u"http://a/")));
    fs::remove(folder);

    EXPECT_THAT(ErrorFrom([&] { connection.close(); }).description(),
                ::testing::HasSubstr("a.xls"));
    EXPECT_TRUE(connection.isOpen());
    fs::create_directory(folder);
    connection.close();
    EXPECT_FALSE(connection.isOpen());
    EXPECT_EQ(ReadXlsFile(folder / "a.xls").sheet(1).cell(3, 2), Cell::text(u"http://a/"));
}

} // namespace
} // namespace tomorine::test
