// Which data file a command works on, and what happens when it is missing
// or is not a workbook.
#include "cli/cli_fixtures.h"
#include "cli/cli_run.h"
#include "store/settings/ini_functions.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

struct Choice {
    const char* name;
    const char* setting;              // DATAFILE in the program folder's settings; null: none
    std::vector<std::string> dataArg; // after "search"
    const char* cwd;                  // folder the command runs in, under the test folder
    const char* title;                // of the one entry of the file that was searched
};

class DataFileChoice : public testing::TestWithParam<Choice> {};

TEST_P(DataFileChoice, SearchesTheChosenFile) {
    TempDir dir;
    const auto home = dir / "home";
    std::filesystem::create_directories(home);
    std::filesystem::create_directories(dir / "ア" / "sub");
    WriteDataWorkbook(home / "トモリネ.xls", {{MakeEntry(1, u"u", u"default")}});
    WriteDataWorkbook(dir / "ア" / "設定.xls", {{MakeEntry(1, u"u", u"setting")}});
    WriteDataWorkbook(dir / "ア" / "指定.xls", {{MakeEntry(1, u"u", u"option")}});
    if (GetParam().setting) {
        ASSERT_TRUE(WriteIniString(home / "トモリネ.ini", "トモリネ", "DATAFILE",
                                   (dir / GetParam().setting).string()));
    }
    std::vector<std::string> args = {"search"};
    args.insert(args.end(), GetParam().dataArg.begin(), GetParam().dataArg.end());
    CliRun run = RunCli(home, args, "", dir / GetParam().cwd);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, std::string("[00001]:") + GetParam().title + "\n1件 ヒットしました\n");
}

INSTANTIATE_TEST_SUITE_P(
    Table, DataFileChoice,
    testing::Values(
        Choice{"NoSettingsFile", nullptr, {}, "ア", "default"},
        Choice{"Setting", "ア/設定.xls", {}, "ア", "setting"},
        Choice{"OptionOverSetting", "ア/設定.xls", {"--data", "指定.xls"}, "ア", "option"},
        Choice{"RelativeOption", nullptr, {"--data", "../指定.xls"}, "ア/sub", "option"}),
    [](const auto& info) { return std::string(info.param.name); });

// Every command that works on the data file, with --data FILE inserted.
struct FileCommand {
    const char* name;
    std::vector<std::string> args;
    std::string missingOut = ""; // what check-version prints
};

const FileCommand kFileCommands[] = {
    {"search", {"search", "--title", "a"}},
    {"show", {"show", "1", "--json"}},
    {"add", {"add", "--url", "u", "--title", "t"}},
    {"update", {"update", "1", "--title", "t"}},
    {"delete", {"delete", "1"}},
    {"compact", {"compact"}},
    {"check_version", {"check-version", "--yes"}, "-1\n"},
};

std::vector<std::string> WithData(std::vector<std::string> args, const std::filesystem::path& f) {
    args.insert(args.begin() + 1, {"--data", f.string()});
    return args;
}

class MissingDataFile : public testing::TestWithParam<FileCommand> {};

TEST_P(MissingDataFile, FailsInOneLineAndCreatesNothing) {
    TempDir dir;
    const auto data = dir / "なし.xls";
    CliRun run = RunCli(dir / "home", WithData(GetParam().args, data));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, GetParam().missingOut);
    EXPECT_EQ(LineCount(run.err), 1) << run.err;
    EXPECT_FALSE(std::filesystem::exists(data));
    if (GetParam().args[0] == "search") {
        EXPECT_EQ(run.err, "tomorine-cli: データファイルがありません\n");
    }
}

INSTANTIATE_TEST_SUITE_P(Table, MissingDataFile, testing::ValuesIn(kFileCommands),
                         [](const auto& info) { return std::string(info.param.name); });

class NotAWorkbook : public testing::TestWithParam<FileCommand> {};

TEST_P(NotAWorkbook, FailsInOneLineAndLeavesTheFileByteForByte) {
    TempDir dir;
    const auto data = dir / "data.xls";
    const std::string text = "URL,タイトル\r\nhttps://a.example/,not a workbook\r\n";
    WriteBytes(data, std::vector<std::uint8_t>(text.begin(), text.end()));
    CliRun run = RunCli(dir / "home", WithData(GetParam().args, data));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, GetParam().missingOut);
    EXPECT_EQ(LineCount(run.err), 1) << run.err;
    EXPECT_NE(run.err.find(data.string()), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(data), std::vector<std::uint8_t>(text.begin(), text.end()));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
        << "no backup or temporary file is left beside it";
}

INSTANTIATE_TEST_SUITE_P(Table, NotAWorkbook, testing::ValuesIn(kFileCommands),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tomorine::test
