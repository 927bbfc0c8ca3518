// tomorine-cli on a first start: add makes the default data file, a missing
// file that the user named points to create; --version and help.
#include "cli_process.h"
#include "store/settings/ini_functions.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

// The built tomorine-cli with TOMORINE_HOME = dir/home, run in dir.
CliOutcome RunCli(const TempDir& dir, const Args& args) {
    return RunCliProcess({args, dir / "home"});
}

std::string LineStartingWith(const std::string& text, const std::string& start) {
    const auto at = text.find(start);
    return at == std::string::npos ? "" : text.substr(at, text.find('\n', at) - at);
}

const Args kAdd{"add", "--url", "https://a.example/", "--title", "最初"};

TEST(FirstStart, AddCreatesTheDefaultDataFile) {
    TempDir dir;
    CliOutcome first = RunCli(dir, kAdd);
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, "1\n");
    EXPECT_TRUE(fs::is_regular_file(dir / "home" / "トモリネ.xls"));
    CliOutcome found = RunCli(dir, {"search", "--title", "最初"});
    EXPECT_EQ(found.out, "[00001]:最初\n1件 ヒットしました\n");
    EXPECT_EQ(RunCli(dir, kAdd).out, "2\n");
}

// A file the user named is never made up: one line that says how to make it.
TEST(FirstStart, AMissingNamedFilePointsToCreate) {
    for (bool bySetting : {false, true}) {
        SCOPED_TRACE(bySetting ? "DATAFILE" : "--data");
        TempDir dir;
        const fs::path missing = dir / "ブック 1.xls";
        Args args = kAdd;
        if (bySetting) {
            fs::create_directories(dir / "home");
            ASSERT_TRUE(WriteIniString(dir / "home" / "トモリネ.ini", "トモリネ", "DATAFILE",
                                       missing.string()));
        } else {
            args.insert(args.begin() + 1, {"--data", missing.string()});
        }
        CliOutcome run = RunCli(dir, args);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_NE(run.err.find("データファイルがありません"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("tomorine-cli create '" + missing.string() + "'"), std::string::npos)
            << run.err;
        EXPECT_FALSE(fs::exists(missing));
        EXPECT_FALSE(fs::exists(dir / "home" / "トモリネ.xls"));
    }
}

TEST(Help, VersionAndTheUsageOfEachCommand) {
    TempDir dir;
    CliOutcome version = RunCli(dir, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("tomorine-cli ") + TOMORINE_VERSION + "\n");
    CliOutcome overview = RunCli(dir, {"--help"});
    EXPECT_EQ(overview.status, 0);
    EXPECT_NE(overview.out.find("help COMMAND"), std::string::npos) << overview.out;
    for (const char* command : {"search", "show", "add", "update", "delete", "check-version",
                                "compact", "dump", "create", "help", "import-bookmarks",
                                "export-bookmarks"}) {
        SCOPED_TRACE(command);
        CliOutcome help = RunCli(dir, {"help", command});
        EXPECT_EQ(help.status, 0) << help.err;
        EXPECT_EQ(std::count(help.out.begin(), help.out.end(), '\n'), 2) << help.out;
        // The same usage line the command gives for a wrong command line.
        CliOutcome wrong = RunCli(dir, {command, "--bogus", "--bogus"});
        EXPECT_EQ(wrong.status, 2);
        EXPECT_EQ(LineStartingWith(help.out, "使い方:"), LineStartingWith(wrong.err, "使い方:"));
        EXPECT_NE(LineStartingWith(help.out, "使い方:"), "");
    }
    for (const Args& wrong : {Args{"help"}, Args{"help", "frobnicate"}, Args{"help", "a", "b"}}) {
        CliOutcome run = RunCli(dir, wrong);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
    }
    EXPECT_FALSE(fs::exists(dir / "home")) << "help touches nothing";
}

} // namespace
} // namespace tomorine::test
