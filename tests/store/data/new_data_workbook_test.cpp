// A new data workbook as xlrd reads it, and the ways creating one can fail.
#include "data_file.h"
#include "store/data_workbook.h"
#include "store/workbook/workbook_error.h"
#include "support/xls_peer.h"

#include <gmock/gmock.h>
#include <unistd.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// Rows 1 and 2 of the entry sheet, written out from the sheet's definition.
json HeaderAndDummyCells() {
    std::vector<std::string> names{"シリアル番号"};
    for (auto [prefix, count] : {std::pair<std::string, int>{"URL", 16},
                                 {"タイトル", 4},
                                 {"サブタイトル", 4},
                                 {"コメント", 16},
                                 {"キーワード", 16}}) {
        for (int i = 1; i <= count; ++i) {
            names.push_back(prefix + std::to_string(i));
        }
    }
    names.push_back("削除");
    json cells = json::array();
    for (int c = 0; c < 58; ++c) {
        cells.push_back({0, c, "text", names[c]});
    }
    cells.push_back({1, 0, "number", 0.0});
    for (int c = 1; c <= 56; ++c) {
        cells.push_back({1, c, "text", c <= 16 ? "dummy" : "ダミー"});
    }
    cells.push_back({1, 57, "number", 1.0});
    return cells;
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
    const auto before = FolderContents(dir.path());
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
        EXPECT_EQ(FolderContents(dir.path()), before);
    }
}

} // namespace
} // namespace tomorine::test
