// Which data file a command works on, and what happens when it is missing,
// not a workbook, cannot be written, or is of the older layout.
#include "cli/cli_harness.h"
#include "store/settings/ini_functions.h"
#include "support/temp_dir.h"
#include "upgrade/backup.h"
#include "upgrade_fixture.h"

#include <gtest/gtest.h>
#include <set>
#include <unistd.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;
using Names = std::set<std::string>;

// --data FILE (relative to the current folder) over the DATAFILE setting over
// the default file in the program folder.
TEST(DataFile, OptionOverSettingOverDefault) {
    const std::pair<Args, const char*> cases[] = {{{"search"}, "default"},
                                                  {{"search"}, "setting"},
                                                  {{"search", "--data", "ア/指定.xls"}, "option"}};
    for (const auto& [args, title] : cases) {
        SCOPED_TRACE(title);
        TempDir dir;
        fs::create_directories(dir / "home");
        fs::create_directories(dir / "ア");
        WriteDataWorkbook(dir / "home" / "トモリネ.xls", {{1, u"u", u"default", {}, {}, {}}});
        WriteDataWorkbook(dir / "ア" / "設定.xls", {{1, u"u", u"setting", {}, {}, {}}});
        WriteDataWorkbook(dir / "ア" / "指定.xls", {{1, u"u", u"option", {}, {}, {}}});
        if (title != std::string("default")) {
            ASSERT_TRUE(WriteIniString(dir / "home" / "トモリネ.ini", "トモリネ", "DATAFILE",
                                       (dir / "ア" / "設定.xls").string()));
        }
        CliRun run = RunCli(dir / "home", args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, std::string("[00001]:") + title + "\n1件 ヒットしました\n");
    }
}

enum Condition { Missing, NotAWorkbook, ReadOnlyFile, ReadOnlyFolder };

// Exit 1 and one line naming the file (or its folder); the file as it was and
// nothing left beside it. The read-only cases need an unprivileged user: ctest
// runs this test once more as nobody.
TEST(DataFile, RefusedWhenMissingNotAWorkbookOrReadOnly) {
    const std::string text = "URL,タイトル\r\nhttps://a.example/,not a workbook\r\n";
    for (const Args& args :
         {Args{"search"}, Args{"show", "1"}, Args{"add", "--url", "u", "--title", "t"},
          Args{"update", "1", "--title", "t"}, Args{"delete", "1"}, Args{"compact"},
          Args{"check-version", "--yes"}}) {
        const bool writes = args[0] != "search" && args[0] != "show" && args[0] != "check-version";
        for (Condition condition : {Missing, NotAWorkbook, ReadOnlyFile, ReadOnlyFolder}) {
            if (condition >= ReadOnlyFile && (!writes || ::geteuid() == 0)) {
                continue;
            }
            SCOPED_TRACE(args[0] + " in condition " + std::to_string(condition));
            TempDir dir;
            const auto data = dir / "データ.xls";
            if (condition == NotAWorkbook) {
                WriteBytes(data, std::vector<std::uint8_t>(text.begin(), text.end()));
            } else if (condition != Missing) {
                WriteDataWorkbook(data, {{1, u"https://a.example/", u"題", {}, {}, {}}});
            }
            const auto before = BytesOrNothing(data);
            if (condition >= ReadOnlyFile) {
                fs::permissions(condition == ReadOnlyFile ? data : dir.path(),
                                fs::perms::owner_write | fs::perms::group_write |
                                    fs::perms::others_write,
                                fs::perm_options::remove);
            }
            const fs::perms mode = fs::status(data).permissions();

            CliRun run = RunOn(data, args);

            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.out, args[0] == "check-version" ? "-1\n" : "");
            EXPECT_EQ(LineCount(run.err), 1) << run.err;
            const fs::path named = condition == ReadOnlyFolder ? dir.path() : data;
            EXPECT_TRUE(condition == Missing || run.err.find(named.string()) != std::string::npos)
                << run.err;
            EXPECT_EQ(BytesOrNothing(data), before);
            EXPECT_EQ(fs::status(data).permissions(), mode);
            EXPECT_EQ(FileNames(dir.path()), condition == Missing ? Names{} : Names{"データ.xls"});
        }
    }
}

TEST(CheckVersion, ConvertsAnOlderFileOnlyWithConsent) {
    const struct {
        Args args;
        std::string input;
        bool converts;
    } cases[] = {{{"check-version", "--yes"}, "", true},
                 {{"check-version"}, "y\n", true},
                 {{"check-version"}, "n\n", false}};
    for (const auto& [args, input, converts] : cases) {
        SCOPED_TRACE(input);
        TempDir dir;
        const auto data = dir / "古い.xls";
        MakeFile(data, Old);
        const auto original = ReadBytes(data);

        CliRun run = RunOn(data, args, input);

        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, converts ? "0105\n" : "0104\n");
        EXPECT_NE(run.err.find("データコンバートを開始します。"), std::string::npos) << run.err;
        EXPECT_EQ(ReadBytes(BackupFilePath(data)), original);
        if (!converts) {
            EXPECT_EQ(ReadBytes(data), original);
            continue;
        }
        EXPECT_NE(run.err.find("\r100 %\n終了しました\n"), std::string::npos) << run.err;
        EXPECT_EQ(RunOn(data, {"search", "--title", "その2"}).out,
                  "[00002]:献立 その2\n1件 ヒットしました\n");
    }
}

TEST(CheckVersion, DeclinedRecoveryLeavesTheDataFileMissing) {
    TempDir dir;
    MakeFile(BackupFilePath(dir / "data.xls"), Old);
    CliRun run = RunOn(dir / "data.xls", {"check-version"}, "n\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "-1\n");
    EXPECT_TRUE(run.err.starts_with("リカバリ処理をします\n\nよろしいですか？ [y/N] ")) << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "data.xls"));
}

} // namespace
} // namespace tomorine::test
