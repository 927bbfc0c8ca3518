// tomorine-cli import-favorites run as a program on a Favorites tree built at
// run time.
#include "cli_process.h"
#include "favorites_tree.h"
#include "store/data_workbook.h"
#include "store/entry_statements.h"
#include "store/settings/ini_functions.h"
#include "store/settings/settings_file.h"
#include "store/table/connection.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;

// The built tomorine-cli with TOMORINE_HOME and HOME in `dir`.
CliOutcome RunCli(const fs::path& dir, const std::vector<std::string>& args) {
    CliLaunch launch(args, dir / "home");
    launch.user = dir / "user";
    return RunCliProcess(launch);
}

void WriteDataFile(const fs::path& path, const std::vector<Entry>& entries) {
    Connection connection(path, NewDataWorkbook());
    for (const Entry& e : entries) {
        connection.execute(BuildInsertStatement(e.serial, e));
    }
    WriteXlsFile(connection.workbook(), path);
}

int EntryRows(const fs::path& path) {
    Connection connection(Connection::ConnectionString(path));
    return static_cast<int>(
        connection.execute(u"select * from [トモリネ$] where 削除 = 0").recordCount());
}

const std::string kSummary = "検出数：    8\n"
                             "登録数：    4\n"
                             "既存数：    2\n"
                             "エラー数：    2\n"
                             "2個の\"URLが取得できないお気に入り\"がありました\n"
                             "お気に入り名称が長すぎるものがあるようです\n"
                             "URLが未指定のものがあるようです\n";

class ImportFavoritesCli : public ::testing::Test {
protected:
    ImportFavoritesCli() : tree_(dir_ / "Favorites") {
        fs::create_directories(dir_ / "home");
        fs::create_directories(dir_ / "user");
        WriteDataFile(data(), FavoritesTree::Registered());
    }
    fs::path data() const { return dir_ / "bm.xls"; }

    TempDir dir_;
    FavoritesTree tree_;
};

TEST_F(ImportFavoritesCli, ImportsTheFolderGivenAndPrintsTheCountsAndNotices) {
    CliOutcome run =
        RunCli(dir_.path(), {"import-favorites", "--data", data().string(), tree_.root().string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, kSummary);
    EXPECT_EQ(run.err.find('\r'), std::string::npos); // no bar when not on a terminal
    EXPECT_EQ(EntryRows(data()), 5);
    // A second run finds them all registered.
    run =
        RunCli(dir_.path(), {"import-favorites", "--data", data().string(), tree_.root().string()});
    EXPECT_EQ(run.out.substr(0, run.out.find("エラー数")),
              "検出数：    8\n登録数：    0\n既存数：    6\n");
    EXPECT_EQ(EntryRows(data()), 5);
}

TEST_F(ImportFavoritesCli, TakesTheFolderOfTheSettingsOrSaysThereIsNone) {
    CliOutcome none = RunCli(dir_.path(), {"import-favorites", "--data", data().string()});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "tomorine-cli: お気に入りパスが見つかりません\n");
    WriteIniString(dir_ / "home" / "トモリネ.ini", kSettingsSection, "FAVORITES",
                   tree_.root().string());
    CliOutcome set = RunCli(dir_.path(), {"import-favorites", "--data", data().string()});
    EXPECT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.out, kSummary);
}

TEST_F(ImportFavoritesCli, AMissingFolderLeavesTheDataFileAsItWas) {
    const auto before = ReadBytes(data());
    CliOutcome run = RunCli(
        dir_.path(), {"import-favorites", "--data", data().string(), (dir_ / "nowhere").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("nowhere"), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(data()), before);
}

} // namespace
} // namespace tomorine::test
