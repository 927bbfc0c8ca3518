// check-version on a workbook of the older layout, built at run time.
#include "cli/cli_harness.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"
#include "upgrade/backup.h"
#include "upgrade_fixture.h"

#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

const std::u16string kUrl = u"https://古い.example/" + std::u16string(280, u'u');
const std::u16string kHalf(300, u'コ');

void WriteOld(const std::filesystem::path& path) {
    WriteXlsFile(OldDataWorkbook({OldRow(Cell::number(1),
                                         {kUrl.substr(0, 150), kUrl.substr(150), u"", u"", u"abc  ",
                                          u"tab\tinside", kHalf, kHalf, u"", u"", u"鍵 キー"},
                                         Cell::number(0))}),
                 path);
}

TEST(CheckVersion, ConvertsAnOlderFileOnlyWithConsent) {
    const struct {
        std::vector<std::string> flags;
        std::string input;
        bool converts;
    } cases[] = {{{"--yes"}, "", true}, {{}, "y\n", true}, {{}, "n\n", false}, {{}, "", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.input));
        TempDir dir;
        const auto data = dir / "古い.xls";
        WriteOld(data);
        const auto original = ReadBytes(data);
        std::vector<std::string> args = {"check-version", "--data", data.string()};
        args.insert(args.end(), c.flags.begin(), c.flags.end());

        CliRun run = RunCli(dir.path(), args, c.input);

        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, c.converts ? "0105\n" : "0104\n");
        EXPECT_NE(run.err.find("データコンバートを開始します。"), std::string::npos) << run.err;
        EXPECT_EQ(ReadBytes(BackupFilePath(data)), original);
        if (!c.converts) {
            EXPECT_EQ(ReadBytes(data), original);
            continue;
        }
        EXPECT_NE(run.err.find("\r100 %\n終了しました\n"), std::string::npos) << run.err;
        CliRun search = RunCli(dir.path(), {"search", "--data", data.string(), "--json"});
        EXPECT_EQ(nlohmann::json::parse(search.out),
                  Hits({{1, kUrl, u"abc  ", u"tab inside", u"鍵 キー", kHalf + kHalf}}));
    }
}

TEST(CheckVersion, DeclinedRecoveryLeavesTheDataFileMissing) {
    TempDir dir;
    const auto data = dir / "data.xls";
    WriteOld(BackupFilePath(data));
    CliRun run = RunCli(dir.path(), {"check-version", "--data", data.string()}, "n\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "-1\n");
    EXPECT_TRUE(run.err.starts_with("リカバリ処理をします\n\nよろしいですか？ [y/N] ")) << run.err;
    EXPECT_FALSE(std::filesystem::exists(data));
}

} // namespace
} // namespace tomorine::test
