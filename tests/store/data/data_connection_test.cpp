// Statements on the data file through connections of their own: serials,
// updates, the row limit, and the module connection a search leaves open.
#include "data_file.h"
#include "store/data_workbook.h"
#include "store/entry_deletion.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "support/xls_peer.h"

#include <gmock/gmock.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::vector<std::string>>;

Entry Page(int n) {
    const std::u16string number = FromUtf8(std::to_string(n));
    return {0, u"https://example.jp/" + number, u"ページ" + number, u"", u"", u""};
}

class ThreeEntries : public ::testing::Test {
protected:
    void SetUp() override {
        CreateDataWorkbook(path);
        for (int n = 1; n <= 3; ++n) {
            Register(path, Page(n));
        }
    }
    TempDir dir;
    fs::path path = dir / "data.xls";
};

TEST_F(ThreeEntries, OnlyTheHighestSerialIsTakenAgainAfterADeletion) {
    ASSERT_TRUE(DeleteEntryBySerial(path, 2));
    EXPECT_EQ(Register(path, Page(4)), 4);
    ASSERT_TRUE(DeleteEntryBySerial(path, 4));
    EXPECT_EQ(Register(path, Page(5)), 4);
    std::vector<std::string> serials;
    for (const auto& entry : LiveEntries(path)) {
        serials.push_back(entry[0]);
    }
    EXPECT_THAT(serials, ::testing::ElementsAre("1", "3", "4"));
}

TEST_F(ThreeEntries, AnUpdateRewritesItsEntryOnlyAndOneMatchingNoRowLeavesTheFileAlone) {
    ASSERT_EQ(ExecuteOnDataFile(path, BuildUpdateStatement(
                                          2, {0, u"http://new/", u"題 ", u"副", u"語", u"説明"})),
              1);
    EXPECT_EQ(LiveEntries(path)[1],
              (std::vector<std::string>{"2", "http://new/", "題 ", "副", "語", "説明"}));
    EXPECT_EQ(LiveEntries(path)[2][1], "https://example.jp/3");

    const FileState before = AgedState(path);
    EXPECT_EQ(ExecuteOnDataFile(path, BuildUpdateStatement(9, Page(9))), 0);
    EXPECT_EQ(StateOf(path), before);
}

// Other writers go on while a search's connection is open, and closing it
// afterwards neither writes the file nor brings old rows back.
TEST_F(ThreeEntries, AModuleConnectionLeftOpenNeitherLocksNorChangesTheFile) {
    StoreState state;
    state.ModuleConnection = std::make_unique<Connection>(Connection::ConnectionString(path));
    state.ModuleRecordset = std::make_unique<Recordset>(
        state.ModuleConnection->execute(u"select * from [トモリネ$] where 削除 = 0"));
    state.ConnectionOpen = state.HasSearchResult = true;
    ASSERT_TRUE(DeleteEntryBySerial(path, 1));
    const FileState written = AgedState(path);

    CloseDataConnection(state);
    EXPECT_EQ(state.ModuleConnection, nullptr);
    EXPECT_FALSE(state.HasSearchResult);
    EXPECT_EQ(StateOf(path), written);
    EXPECT_EQ(LiveEntries(path).size(), 2u);
}

// One row short of the format's 65,536: the next entry fills the sheet, the
// one after it is refused and the file stays as it was; updates still work.
TEST(RowLimit, TheLastRowIsFilledAndTheNextInsertRefused) {
    constexpr int kLastRow = Sheet::MaxRows;
    TempDir dir;
    const fs::path path = dir / "full.xls";
    Workbook book = NewDataWorkbook();
    for (int serial = 1; serial <= kLastRow - 3; ++serial) {
        Sheet::Row row(58);
        row[0] = Cell::number(serial);
        row[1] = Cell::text(Page(serial).url);
        row[57] = Cell::number(0);
        book.sheet(1).appendRow(std::move(row));
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
    EXPECT_EQ(FolderContents(dir.path()).size(), 1u) << "a temporary file was left";

    ExecuteOnDataFile(path, BuildUpdateStatement(kLastRow - 2, Page(1)));
    const nlohmann::json last = XlrdValues(path, XlrdMode::Strict, {kLastRow - 1});
    EXPECT_EQ(last["sheets"][0]["nrows"], kLastRow);
    EXPECT_EQ(last["sheets"][0]["cells"][1][3], "https://example.jp/1");
    EXPECT_EQ(last["sheets"][0]["cells"][2][3], "ページ1");
}

} // namespace
} // namespace tomorine::test
