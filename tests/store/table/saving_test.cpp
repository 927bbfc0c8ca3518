// Connections on real files: what close() writes, and what it leaves alone.
#include "entry_fixture.h"
#include "store/table/connection.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;

constexpr std::u16string_view kMaxSerial = u"select max(シリアル番号) as cnt from [トモリネ$]";

TEST(Saving, ChangesReachTheFileOnCloseEvenWithASemicolonInThePath) {
    TempDir dir;
    fs::path path = dir / "a;ReadOnly=1;b.xls";
    {
        Connection connection(path, EntryWorkbook());
        connection.execute(InsertStatement(u"[トモリネ$]", 7, {{u"URL1", u"http://a/"}}));
        connection.close();
    }
    ASSERT_TRUE(fs::exists(path));

    Connection reopened(Connection::ConnectionString(path));
    EXPECT_EQ(reopened.path(), path);
    EXPECT_EQ(Shown(reopened.execute(kMaxSerial).field(u"cnt")), "7");
    Recordset rows = reopened.execute(u"select * from [トモリネ$] where 削除 = 0");
    EXPECT_THAT(FieldValues(rows, u"URL1"), ::testing::ElementsAre("'http://a/'"));
    EXPECT_THAT(FieldValues(rows, u"URL2"), ::testing::ElementsAre("NULL"));
}

// A peer reads the saved file: serial and flag are numbers, '' left no cell.
TEST(Saving, XlrdReadsTheInsertedRowAsTheDriverWouldHaveStoredIt) {
    TempDir dir;
    fs::path path = dir / "a.xls";
    Connection connection(path, EntryWorkbook());
    connection.execute(InsertStatement(u"[トモリネ$]", 7, {{u"URL1", u"http://a/"}}));
    connection.execute(u"UPDATE [トモリネ$] SET タイトル1 = 'it''s' WHERE シリアル番号 = 7");
    connection.close();

    Workbook expected = EntryWorkbook();
    AddEntry(expected.sheet(1), 7, {{u"URL1", u"http://a/"}, {u"タイトル1", u"it's"}});
    EXPECT_TRUE(SameAsXlrd(expected, XlrdValues(path)));
}

TEST(Saving, CloseWithoutChangesLeavesTheFileUntouched) {
    TempDir dir;
    fs::path path = dir / "a.xls";
    WriteXlsFile(EntryWorkbook(), path);
    auto old = fs::file_time_type::clock::now() - std::chrono::hours(24);
    fs::last_write_time(path, old);
    std::vector<std::uint8_t> before = ReadBytes(path);

    Connection connection(Connection::ConnectionString(path));
    connection.execute(u"select * from [トモリネ$] where 削除 = 0");
    connection.execute(UpdateStatement(99, {{u"URL1", u"x"}}));
    connection.close();
    EXPECT_EQ(fs::last_write_time(path), old);
    EXPECT_EQ(ReadBytes(path), before);
}

TEST(Saving, FailedSaveKeepsTheConnectionOpenForAnotherTry) {
    TempDir dir;
    fs::path folder = dir / "data";
    fs::create_directory(folder);
    Connection connection(folder / "a.xls", EntryWorkbook());
    connection.execute(InsertStatement(u"[トモリネ$]", 1, {{u"URL1", u"http://a/"}}));
    fs::remove(folder);

    try {
        connection.close();
        FAIL() << "saved into a missing folder";
    } catch (const WorkbookError& e) {
        EXPECT_THAT(e.description(), ::testing::HasSubstr("a.xls"));
    }
    EXPECT_TRUE(connection.isOpen());
    EXPECT_TRUE(connection.changed());

    fs::create_directory(folder);
    connection.close();
    EXPECT_FALSE(connection.isOpen());
    EXPECT_EQ(ReadXlsFile(folder / "a.xls").sheet(1).cell(3, 2), Cell::text(u"http://a/"));
}

TEST(Saving, DestroyingAnOpenConnectionDiscardsItsChanges) {
    TempDir dir;
    fs::path path = dir / "a.xls";
    WriteXlsFile(EntryWorkbook(), path);
    std::vector<std::uint8_t> before = ReadBytes(path);
    {
        Connection connection(Connection::ConnectionString(path));
        connection.execute(InsertStatement(u"[トモリネ$]", 1, {{u"URL1", u"http://a/"}}));
    }
    EXPECT_EQ(ReadBytes(path), before);
}

TEST(Saving, OpeningAMissingFileFailsNamingIt) {
    TempDir dir;
    try {
        Connection connection(Connection::ConnectionString(dir / "none.xls"));
        FAIL() << "opened";
    } catch (const WorkbookError& e) {
        EXPECT_THAT(e.description(), ::testing::HasSubstr("none.xls"));
    }
}

} // namespace
} // namespace tomorine::test
