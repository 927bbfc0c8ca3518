// Which data file a command works on, and what happens when it is missing,
// not a workbook, or cannot be written.
#include "cli/cli_harness.h"
#include "store/settings/ini_functions.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

// --data FILE goes right after the command name.
Args WithData(Args args, const fs::path& file) {
    args.insert(args.begin() + 1, {"--data", file.string()});
    return args;
}

TEST(DataFile, OptionOverSettingOverDefault) {
    const struct {
        const char* setting; // DATAFILE in the program folder's settings
        Args data;           // after "search"
        const char* cwd;     // under the test folder
        const char* title;   // of the file that was searched
    } cases[] = {{nullptr, {}, "ア", "default"},
                 {"ア/設定.xls", {}, "ア", "setting"},
                 {"ア/設定.xls", {"--data", "指定.xls"}, "ア", "option"},
                 {nullptr, {"--data", "../指定.xls"}, "ア/sub", "option"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        TempDir dir;
        fs::create_directories(dir / "home");
        fs::create_directories(dir / "ア" / "sub");
        WriteDataWorkbook(dir / "home" / "トモリネ.xls", {{1, u"u", u"default", {}, {}, {}}});
        WriteDataWorkbook(dir / "ア" / "設定.xls", {{1, u"u", u"setting", {}, {}, {}}});
        WriteDataWorkbook(dir / "ア" / "指定.xls", {{1, u"u", u"option", {}, {}, {}}});
        if (c.setting) {
            ASSERT_TRUE(WriteIniString(dir / "home" / "トモリネ.ini", "トモリネ", "DATAFILE",
                                       (dir / c.setting).string()));
        }
        Args args = {"search"};
        args.insert(args.end(), c.data.begin(), c.data.end());
        CliRun run = RunCli(dir / "home", args, "", dir / c.cwd);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, std::string("[00001]:") + c.title + "\n1件 ヒットしました\n");
    }
}

// Every command that works on the data file: exit 1, one line naming the
// file, and the file as it was (or still missing), nothing left beside it.
TEST(DataFile, MissingOrNotAWorkbookIsRefused) {
    const Args commands[] = {{"search", "--title", "a"},
                             {"show", "1", "--json"},
                             {"add", "--url", "u", "--title", "t"},
                             {"update", "1", "--title", "t"},
                             {"delete", "1"},
                             {"compact"},
                             {"check-version", "--yes"}};
    const std::string text = "URL,タイトル\r\nhttps://a.example/,not a workbook\r\n";
    for (const Args& args : commands) {
        for (bool missing : {true, false}) {
            SCOPED_TRACE(args[0] + (missing ? " on a missing file" : " on a text file"));
            TempDir dir;
            const auto data = dir / "データ.xls";
            if (!missing) {
                WriteBytes(data, std::vector<std::uint8_t>(text.begin(), text.end()));
            }
            CliRun run = RunCli(dir / "home", WithData(args, data));
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.out, args[0] == "check-version" ? "-1\n" : "");
            EXPECT_EQ(LineCount(run.err), 1) << run.err;
            EXPECT_TRUE(missing || run.err.find(data.string()) != std::string::npos) << run.err;
            EXPECT_EQ(fs::exists(data), !missing);
            EXPECT_TRUE(missing ||
                        ReadBytes(data) == std::vector<std::uint8_t>(text.begin(), text.end()));
            EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), missing ? 0 : 1);
        }
    }
}

struct ReadOnlyCase {
    const char* name;
    Args args;
    bool folder; // the folder is read-only, else the file
};

void PrintTo(const ReadOnlyCase& c, std::ostream* os) {
    *os << c.name;
}

class ReadOnlyData : public testing::TestWithParam<ReadOnlyCase> {};

TEST_P(ReadOnlyData, RefusedInOneLineAndLeftAsItWas) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permission bits do not stop root; ctest runs this as nobody";
    }
    TempDir dir;
    fs::create_directory(dir / "ro");
    const fs::path data = dir / "ro" / "data.xls";
    WriteDataWorkbook(data, {{1, u"https://a.example/", u"題", {}, {}, {}}});
    const auto before = ReadBytes(data);
    fs::permissions(GetParam().folder ? dir / "ro" : data,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const fs::perms mode = fs::status(data).permissions();

    CliRun run = RunCli(dir / "home", WithData(GetParam().args, data));

    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(LineCount(run.err), 1) << run.err;
    EXPECT_NE(run.err.find(data.parent_path().string()), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(data), before);
    EXPECT_EQ(fs::status(data).permissions(), mode);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "ro"), {}), 1) << "a file left beside it";
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReadOnlyData,
    testing::Values(ReadOnlyCase{"AddFile", {"add", "--url", "u", "--title", "t"}, false},
                    ReadOnlyCase{"AddFolder", {"add", "--url", "u", "--title", "t"}, true},
                    ReadOnlyCase{"UpdateFile", {"update", "1", "--title", "t"}, false},
                    ReadOnlyCase{"DeleteFolder", {"delete", "1"}, true},
                    ReadOnlyCase{"CompactFile", {"compact"}, false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tomorine::test
