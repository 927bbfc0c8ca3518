// Command lines that do not fit: exit 2, a usage line, and nothing touched.
#include "cli/cli_run.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

using Args = std::vector<std::string>;

class UsageErrors : public testing::TestWithParam<Args> {};

TEST_P(UsageErrors, ExitTwoWithUsageLineAndTouchNothing) {
    TempDir dir;
    const auto home = dir / "home"; // must not even be created
    CliRun run = RunCli(home, GetParam());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("使い方: tomorine-cli"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(home));
}

INSTANTIATE_TEST_SUITE_P(
    Table, UsageErrors,
    testing::Values(
        Args{}, Args{"frobnicate"}, Args{"--data", "x.xls", "search"}, Args{"search", "--bogus"},
        Args{"search", "--title"}, Args{"search", "--title", "a", "--title", "b"},
        Args{"search", "stray"}, Args{"search", "--json", "--json"}, Args{"search", "--data"},
        Args{"search", "--data", ""}, Args{"search", "--title", "a", "--data", "x"},
        Args{"search", "--title", "\xff\xfe"}, Args{"show"}, Args{"show", "abc"}, Args{"show", "0"},
        Args{"show", "-3"}, Args{"show", "+3"}, Args{"show", "2147483648"},
        Args{"show", "99999999999"}, Args{"show", "1", "2"}, Args{"show", "1", "--title", "x"},
        Args{"add", "--url"}, Args{"add", "--url", "u", "--title", "t", "--json"}, Args{"update"},
        Args{"update", "--title", "x"}, Args{"update", "1", "--json"}, Args{"delete"},
        Args{"delete", "1x"}, Args{"delete", "1", "--yes"}, Args{"check-version", "--no"},
        Args{"check-version", "y"}, Args{"compact", "extra"}, Args{"dump"}, Args{"dump", "a", "b"},
        Args{"create"}, Args{"create", "a", "b"}));

} // namespace
} // namespace tomorine::test
