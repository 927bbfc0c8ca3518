// Writing commands on a data file the user cannot write: refused, nothing changed.
#include "cli/cli_fixtures.h"
#include "cli/cli_run.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;

struct ReadOnlyCase {
    const char* name;
    std::vector<std::string> args; // --data FILE goes right after the command name
    bool folder;                   // the folder is read-only, else the file
};

class ReadOnlyData : public testing::TestWithParam<ReadOnlyCase> {};

TEST_P(ReadOnlyData, RefusedInOneLineAndLeftAsItWas) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permission bits do not stop root; ctest runs this as nobody";
    }
    TempDir dir;
    const fs::path folder = dir / "ro";
    fs::create_directory(folder);
    const fs::path data = folder / "data.xls";
    WriteDataWorkbook(data, {{MakeEntry(1, u"https://a.example/", u"題")}});
    const auto before = ReadBytes(data);
    fs::permissions(GetParam().folder ? folder : data,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const fs::perms mode = fs::status(data).permissions();

    std::vector<std::string> args = GetParam().args;
    args.insert(args.begin() + 1, {"--data", data.string()});
    CliRun run = RunCli(dir / "home", args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(LineCount(run.err), 1) << run.err;
    EXPECT_NE(run.err.find(folder.string()), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(data), before);
    EXPECT_EQ(fs::status(data).permissions(), mode);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1) << "no file left beside it";
}

const std::vector<std::string> kAdd = {"add", "--url", "u", "--title", "t"};
const std::vector<std::string> kUpdate = {"update", "1", "--title", "t"};

INSTANTIATE_TEST_SUITE_P(Table, ReadOnlyData,
                         testing::Values(ReadOnlyCase{"AddFile", kAdd, false},
                                         ReadOnlyCase{"AddFolder", kAdd, true},
                                         ReadOnlyCase{"UpdateFile", kUpdate, false},
                                         ReadOnlyCase{"UpdateFolder", kUpdate, true},
                                         ReadOnlyCase{"DeleteFile", {"delete", "1"}, false},
                                         ReadOnlyCase{"DeleteFolder", {"delete", "1"}, true},
                                         ReadOnlyCase{"CompactFile", {"compact"}, false},
                                         ReadOnlyCase{"CompactFolder", {"compact"}, true}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tomorine::test
