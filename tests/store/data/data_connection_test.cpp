// The module connection a search leaves open, and closing it.
#include "data_file.h"
#include "store/data_connection.h"
#include "store/data_workbook.h"
#include "store/entry_deletion.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;

class ModuleConnection : public ::testing::Test {
protected:
    void SetUp() override {
        CreateDataWorkbook(path);
        Register(path, {0, u"http://a.jp/", u"A", u"", u"", u""});
        Register(path, {0, u"http://b.jp/", u"B", u"", u"", u""});
    }

    // What a search leaves behind.
    void Search() {
        state.DataFilePath = path;
        state.ModuleConnection = std::make_unique<Connection>(Connection::ConnectionString(path));
        state.ModuleRecordset = std::make_unique<Recordset>(
            state.ModuleConnection->execute(u"select * from [トモリネ$] where 削除 = 0"));
        state.ConnectionOpen = true;
        state.HasSearchResult = true;
    }

    TempDir dir;
    fs::path path = dir / "data.xls";
    StoreState state;
};

TEST_F(ModuleConnection, CloseTwiceClosesOnceAndLeavesTheFlagToTheCaller) {
    Search();
    CloseDataConnection(state);
    EXPECT_EQ(state.ModuleConnection, nullptr);
    EXPECT_EQ(state.ModuleRecordset, nullptr);
    EXPECT_FALSE(state.HasSearchResult);
    EXPECT_TRUE(state.ConnectionOpen);

    EXPECT_NO_THROW(CloseDataConnection(state));
    EXPECT_EQ(state.ModuleConnection, nullptr);
}

TEST_F(ModuleConnection, WithoutTheFlagItOnlyReleases) {
    Search();
    state.ConnectionOpen = false;
    CloseDataConnection(state);
    EXPECT_EQ(state.ModuleConnection, nullptr);
    EXPECT_EQ(state.ModuleRecordset, nullptr);
    EXPECT_TRUE(state.HasSearchResult);
}

// Other writers go on while a search's connection is open, and closing it
// afterwards neither writes the file nor brings old rows back.
TEST_F(ModuleConnection, LeftOpenItNeitherLocksNorChangesTheFile) {
    Search();
    Register(path, {0, u"http://c.jp/", u"C", u"", u"", u""});
    ASSERT_TRUE(DeleteEntryBySerial(path, 1));
    const FileState written = AgedState(path);

    EXPECT_EQ(state.ModuleRecordset->recordCount(), 2);
    CloseDataConnection(state);
    state.ConnectionOpen = false;
    EXPECT_EQ(StateOf(path), written);
    std::vector<std::vector<std::string>> shown;
    for (const Entry& e : LiveEntries(path)) {
        shown.push_back(Shown(e));
    }
    EXPECT_EQ(shown,
              (std::vector<std::vector<std::string>>{{"2", "http://b.jp/", "B", "", "", ""},
                                                     {"3", "http://c.jp/", "C", "", "", ""}}));
}

} // namespace
} // namespace tomorine::test
