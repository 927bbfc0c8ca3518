// A real data file: a new one as xlrd reads it and the ways creating one can
// fail, serials, an update that finds no entry, whole-cell deletion and the
// row limit.
#include "data_file.h"
#include "store/data_workbook.h"
#include "store/entry_deletion.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "support/xls_peer.h"

#include <gmock/gmock.h>
#include <unistd.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// Rows 1 and 2 of the entry sheet, written out from the sheet's definition.
json HeaderAndDummyCells() {
    json header = json::array({{0, 0, "text", "シリアル番号"}});
    json dummy = json::array({{1, 0, "number", 0.0}});
    int c = 1;
    for (auto [prefix, count] : {std::pair<std::string, int>{"URL", 16},
                                 {"タイトル", 4},
                                 {"サブタイトル", 4},
                                 {"コメント", 16},
                                 {"キーワード", 16}}) {
        for (int i = 1; i <= count; ++i, ++c) {
            header.push_back({0, c, "text", prefix + std::to_string(i)});
            dummy.push_back({1, c, "text", c <= 16 ? "dummy" : "ダミー"});
        }
    }
    header.push_back({0, 57, "text", "削除"});
    dummy.push_back({1, 57, "number", 1.0});
    header.insert(header.end(), dummy.begin(), dummy.end());
    return header;
}

TEST(CreateDataWorkbook, HoldsTheEntrySheetWithItsHeaderAndDummyRowsAndNothingElse) {
    TempDir dir;
    const fs::path path = dir / "トモリネ.xls";
    CreateDataWorkbook(path);

    const json xlrd = XlrdValues(path);
    EXPECT_EQ(xlrd["log"], "");
    ASSERT_EQ(xlrd["sheets"].size(), 1u);
    EXPECT_EQ(xlrd["sheets"][0]["name"], "トモリネ");
    EXPECT_EQ(xlrd["sheets"][0]["nrows"], 2);
    EXPECT_EQ(xlrd["sheets"][0]["ncols"], 58);
    EXPECT_EQ(xlrd["sheets"][0]["cells"], HeaderAndDummyCells());
    EXPECT_EQ(QueryMaxSerial(path), 0);
    EXPECT_THAT(LiveEntries(path), ::testing::IsEmpty());
}

// The read-only folder stops only a user other than root: the test's name
// lets test_store_data_unprivileged run it as one.
TEST(CreateDataWorkbook, RefusesAMissingFolderAnExistingFileAndAReadOnlyFolder) {
    TempDir dir;
    WriteBytes(dir / "d.xls", {'o', 'l', 'd'});
    fs::create_directory(dir / "ro");
    fs::permissions(dir / "ro", fs::perms::owner_read | fs::perms::owner_exec);
    const auto before = Names(dir.path());
    for (auto [path, number] : {std::pair{dir / "無い" / "d.xls", ErrorNumber::PathNotFound},
                                {dir / "d.xls", ErrorNumber::FileAccess},
                                {dir / "ro" / "d.xls", ErrorNumber::PermissionDenied}}) {
        if (number == ErrorNumber::PermissionDenied && ::geteuid() == 0) {
            continue;
        }
        try {
            CreateDataWorkbook(path);
            ADD_FAILURE() << path << " was created";
        } catch (const WorkbookError& e) {
            EXPECT_EQ(e.number(), number) << e.description();
            EXPECT_THAT(e.description(), ::testing::HasSubstr(path.string()));
        }
        EXPECT_EQ(Names(dir.path()), before);
        EXPECT_EQ(ReadBytes(dir / "d.xls"), std::vector<std::uint8_t>({'o', 'l', 'd'}));
    }
}

Entry Page(int n) {
    const std::u16string number = FromUtf8(std::to_string(n));
    return {0, u"https://example.jp/" + number, u"ページ" + number, u"", u"", u""};
}

// An entry row of column 1, URL1 and 削除 0, as the data file stores it.
void AppendEntryRow(Sheet& sheet, Cell first, const std::u16string& url) {
    Sheet::Row row(58);
    row[0] = std::move(first);
    row[1] = Cell::text(url);
    row[57] = Cell::number(0);
    sheet.appendRow(std::move(row));
}

// A serial is the highest one + 1, so only that one is taken again after a
// deletion. An update of an entry that is gone reports no row, and the file
// keeps its bytes and time.
TEST(DataFile, SerialsFollowTheHighestAndAnUpdateFindingNoEntryLeavesTheFileAlone) {
    TempDir dir;
    const fs::path path = dir / "data.xls";
    CreateDataWorkbook(path);
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(Register(path, Page(n)), n);
    }
    ASSERT_TRUE(DeleteEntryBySerial(path, 2));
    EXPECT_EQ(Register(path, Page(4)), 4);
    ASSERT_TRUE(DeleteEntryBySerial(path, 4));
    EXPECT_EQ(Register(path, Page(5)), 4);

    const FileState before = AgedState(path);
    EXPECT_EQ(ExecuteOnDataFile(path, BuildUpdateStatement(9, Page(9))), 0);
    EXPECT_EQ(StateOf(path), before);
}

// Only a whole number cell equal to the serial matches, and the dummy row
// (serial 0) is no entry. xlrd reads the file left.
TEST(DeleteEntryBySerial, RemovesTheFirstWholeCellMatchAmongEntryRowsOnly) {
    const std::pair<Cell, std::u16string> entries[] = {
        {Cell::number(12), u"12"}, {Cell::text(u"2"), u"text 2"}, {Cell::number(2), u"2"},
        {Cell::number(22), u"22"}, {Cell(), u"no serial"},        {Cell::number(2), u"2 again"}};
    // The serial, and the sheet row it removes (0: none).
    for (auto [serial, row] : {std::pair{2, 5}, {1, 0}, {0, 0}}) {
        TempDir dir;
        const fs::path path = dir / "data.xls";
        Workbook book = NewDataWorkbook();
        for (const auto& [first, url] : entries) {
            AppendEntryRow(book.sheet(1), first, url);
        }
        WriteXlsFile(book, path);
        const FileState before = AgedState(path);
        if (row != 0) {
            book.sheet(1).deleteRow(row);
        }

        EXPECT_EQ(DeleteEntryBySerial(path, serial), row != 0) << serial;
        EXPECT_TRUE(SameAsXlrd(book, XlrdValues(path))) << serial;
        EXPECT_EQ(StateOf(path) != before, row != 0)
            << "written although nothing was found, or not";
        EXPECT_EQ(Names(dir.path()).size(), 1u);
    }
}

// One row short of the format's 65,536: the next entry fills the sheet, the
// one after it is refused and the file stays as it was; updates still work.
TEST(RowLimit, TheLastRowIsFilledAndTheNextInsertRefused) {
    constexpr int kLastRow = Sheet::MaxRows;
    TempDir dir;
    const fs::path path = dir / "full.xls";
    Workbook book = NewDataWorkbook();
    for (int serial = 1; serial <= kLastRow - 3; ++serial) {
        AppendEntryRow(book.sheet(1), Cell::number(serial), Page(serial).url);
    }
    WriteXlsFile(book, path);

    EXPECT_EQ(Register(path, Page(kLastRow - 2)), kLastRow - 2);
    const FileState before = AgedState(path);
    try {
        ExecuteOnDataFile(path, BuildInsertStatement(kLastRow - 1, Page(kLastRow - 1)));
        FAIL() << "a 65,537th row was written";
    } catch (const WorkbookError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::SheetRule);
        EXPECT_THAT(e.description(), ::testing::AllOf(::testing::HasSubstr("トモリネ"),
                                                      ::testing::HasSubstr("65536")));
    }
    EXPECT_EQ(StateOf(path), before);
    EXPECT_EQ(Names(dir.path()).size(), 1u) << "a temporary file was left";

    ExecuteOnDataFile(path, BuildUpdateStatement(kLastRow - 2, Page(1)));
    const json last = XlrdValues(path, XlrdMode::Strict, {kLastRow - 1});
    EXPECT_EQ(last["sheets"][0]["nrows"], kLastRow);
    EXPECT_EQ(last["sheets"][0]["cells"][1][3], "https://example.jp/1");
    EXPECT_EQ(last["sheets"][0]["cells"][2][3], "ページ1");
}

} // namespace
} // namespace tomorine::test
