// check-version on a workbook of the older layout, built at run time.
#include "cli/cli_fixtures.h"
#include "cli/cli_run.h"
#include "cli/terminal_upgrade_ui.h"
#include "support/temp_dir.h"
#include "upgrade/backup.h"
#include "upgrade/data_version.h"

#include <csignal>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sstream>

namespace tomorine::test {
namespace {

const std::u16string kLongUrl = u"https://古い.example/" + std::u16string(280, u'u');

const std::vector<Entry> kOldEntries = {
    {1, kLongUrl, u"abc  ", u"tab\tinside", std::u16string(600, u'コ'), u"鍵 キー"},
    {2, u"https://b.example/", u"二件目", u"", u"", u""},
};

// What the converted entries read back as: trailing blanks kept, tabs as spaces.
const std::vector<Entry> kConverted = {
    {1, kLongUrl, u"abc  ", u"tab inside", std::u16string(600, u'コ'), u"鍵 キー"},
    {2, u"https://b.example/", u"二件目", u"", u"", u""},
};

struct Answer {
    const char* name;
    std::vector<std::string> flags;
    std::string input;
    bool converts;
};

class CheckVersionOld : public testing::TestWithParam<Answer> {};

TEST_P(CheckVersionOld, ConvertsOnConsentAndKeepsTheBackup) {
    TempDir dir;
    const auto data = dir / "古い.xls";
    WriteOldLayoutWorkbook(data, kOldEntries);
    const auto original = ReadBytes(data);
    std::vector<std::string> args = {"check-version", "--data", data.string()};
    args.insert(args.end(), GetParam().flags.begin(), GetParam().flags.end());

    CliRun run = RunCli(dir.path(), args, GetParam().input);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, GetParam().converts ? "0105\n" : "0104\n");
    EXPECT_NE(run.err.find("データコンバートを開始します。"), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(BackupFilePath(data)), original);
    if (!GetParam().converts) {
        EXPECT_EQ(ReadBytes(data), original);
        return;
    }
    EXPECT_NE(run.err.find("\r100 %\n終了しました\n"), std::string::npos) << run.err;
    CliRun search = RunCli(dir.path(), {"search", "--data", data.string(), "--json"});
    EXPECT_THAT(ParseHits(search.out), testing::ElementsAreArray(kConverted)) << search.err;
}

INSTANTIATE_TEST_SUITE_P(Table, CheckVersionOld,
                         testing::Values(Answer{"Yes", {"--yes"}, "", true},
                                         Answer{"AnswerY", {}, "y\n", true},
                                         Answer{"AnswerOk", {}, " OK \n", true},
                                         Answer{"AnswerN", {}, "n\n", false},
                                         Answer{"AnswerOther", {}, "yes please\n", false},
                                         Answer{"EndOfInput", {}, "", false}),
                         [](const auto& info) { return std::string(info.param.name); });

// Only the backup is left: the recovery question comes first.
struct Recovery {
    const char* name;
    std::vector<std::string> flags;
    std::string input;
    std::string out;
    int status;
};

class CheckVersionRecovery : public testing::TestWithParam<Recovery> {};

TEST_P(CheckVersionRecovery, AsksBeforeCopyingTheBackupBack) {
    TempDir dir;
    const auto data = dir / "data.xls";
    WriteOldLayoutWorkbook(BackupFilePath(data), kOldEntries);
    std::vector<std::string> args = {"check-version", "--data", data.string()};
    args.insert(args.end(), GetParam().flags.begin(), GetParam().flags.end());
    CliRun run = RunCli(dir.path(), args, GetParam().input);
    EXPECT_EQ(run.status, GetParam().status);
    EXPECT_EQ(run.out, GetParam().out);
    EXPECT_TRUE(run.err.starts_with("リカバリ処理をします\n\nよろしいですか？ [y/N] ")) << run.err;
    EXPECT_EQ(std::filesystem::exists(data), GetParam().status == 0);
}

INSTANTIATE_TEST_SUITE_P(Table, CheckVersionRecovery,
                         testing::Values(Recovery{"Declined", {}, "n\n", "-1\n", 1},
                                         Recovery{"RecoverOnly", {}, "y\nn\n", "0104\n", 0},
                                         Recovery{"RecoverAndConvert", {"--yes"}, "", "0105\n", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CheckVersion, CurrentFileIsLeftAloneWithoutQuestions) {
    TempDir dir;
    const auto data = dir / "data.xls";
    WriteDataWorkbook(data, {{MakeEntry(1, u"u", u"t")}});
    const auto original = ReadBytes(data);
    CliRun run = RunCli(dir.path(), {"check-version", "--data", data.string()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "0105\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(ReadBytes(data), original);
    EXPECT_FALSE(std::filesystem::exists(BackupFilePath(data)));
}

// Ctrl-C half-way through the rows: the engine stops and the backup comes back.
TEST(CheckVersion, InterruptStopsTheConversionAndRestoresTheBackup) {
    TempDir dir;
    const auto data = dir / "data.xls";
    std::vector<Entry> entries;
    for (int serial = 1; serial <= 40; ++serial) {
        entries.push_back(MakeEntry(serial, u"https://e.example/", u"題"));
    }
    WriteOldLayoutWorkbook(data, entries);
    const auto original = ReadBytes(data);

    StoreState store;
    store.DataFilePath = data;
    UpgradeState state;
    std::istringstream in;
    std::ostringstream err;
    cli::TerminalUpgradeUi terminal(state, in, err, true);
    UpgradeContext context{store, state, terminal.callbacks()};
    auto setProgress = context.ui.setProgress;
    context.ui.setProgress = [&](int percent) {
        setProgress(percent);
        if (percent == 50) {
            std::raise(SIGINT);
        }
    };
    EXPECT_EQ(CheckDataVersion(context), -1);
    EXPECT_TRUE(state.ConversionCancelRequested);
    EXPECT_EQ(ReadBytes(data), original);
    EXPECT_TRUE(err.str().ends_with(" %\n")) << "the progress line is ended: " << err.str();
    EXPECT_EQ(err.str().find("100 %"), std::string::npos) << err.str();

    struct sigaction now {};
    sigaction(SIGINT, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL) << "Ctrl-C ends the program again afterwards";
}

} // namespace
} // namespace tomorine::test
