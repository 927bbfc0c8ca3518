// Command lines that do not fit: exit 2, a usage line, and nothing touched.
#include "cli/cli_harness.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <iterator>
#include <sstream>

namespace tomorine::test {
namespace {

TEST(UsageErrors, ExitTwoWithAUsageLineAndTouchNothing) {
    for (const char* line :
         {"", "frobnicate", "--data x.xls search", "search --bogus", "search --title",
          "search --title a --title b", "search --title a --data x", "search --title \xff\xfe",
          "show 0", "show 2147483648", "show 1 2", "add --url u --title t --json", "delete 1x",
          "check-version y", "dump a b"}) {
        SCOPED_TRACE(line);
        std::istringstream words(line);
        const std::vector<std::string> args{std::istream_iterator<std::string>(words), {}};
        TempDir dir;
        CliRun run = RunCli(dir / "home", args); // not even the home folder is created
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("使い方: tomorine-cli"), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir / "home"));
    }
}

} // namespace
} // namespace tomorine::test
