// dump against xlrd's reading of the same corpus files, and the broken ones.
#include "cli/cli_run.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace tomorine::test {
namespace {

using nlohmann::json;

class DumpMatchesXlrd : public testing::TestWithParam<const char*> {};

// xlrd calls numbers shown as dates "date"; they are numbers.
std::string Kind(const json& cell) {
    std::string kind = cell.at(2).get<std::string>();
    return kind == "date" ? "number" : kind;
}

TEST_P(DumpMatchesXlrd, ValueByValue) {
    const std::filesystem::path file = CorpusDir() / GetParam();
    if (CorpusDir().empty()) {
        GTEST_SKIP() << "no corpus";
    }
    TempDir dir;
    CliRun run = RunCli(dir.path(), {"dump", file.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    std::vector<std::uint8_t> golden = ReadBytes(file.string() + ".json");
    const json expected = json::parse(golden.begin(), golden.end()).at("sheets");
    const json actual = json::parse(run.out).at("sheets");
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t s = 0; s < expected.size(); ++s) {
        SCOPED_TRACE(expected[s].at("name").get<std::string>());
        EXPECT_EQ(actual[s].at("name"), expected[s].at("name"));
        const json& want = expected[s].at("cells");
        const json& got = actual[s].at("cells");
        ASSERT_EQ(got.size(), want.size());
        for (size_t c = 0; c < want.size(); ++c) {
            EXPECT_EQ(got[c].at(0), want[c].at(0));
            EXPECT_EQ(got[c].at(1), want[c].at(1));
            EXPECT_EQ(Kind(got[c]), Kind(want[c])) << want[c];
            if (Kind(want[c]) == "number") {
                EXPECT_EQ(got[c].at(3).get<double>(), want[c].at(3).get<double>()) << want[c];
            } else {
                EXPECT_EQ(got[c].at(3), want[c].at(3));
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, DumpMatchesXlrd,
                         testing::Values("parseexcel__Test97J.xls", "poi__50779_1.xls",
                                         "edr__Test_num_double_date_bool_string.xls",
                                         "libxls__types.xls", "sheetjs__ErrorTypes.xls",
                                         "parseexcel__long_string8.xls"));

class DumpRefuses : public testing::TestWithParam<const char*> {};

TEST_P(DumpRefuses, OneLineNamingTheFileAndNothingOnStdout) {
    if (CorpusDir().empty()) {
        GTEST_SKIP() << "no corpus";
    }
    TempDir dir;
    CliRun run = RunCli(dir.path(), {"dump", (CorpusDir() / GetParam()).string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(LineCount(run.err), 1) << run.err;
    EXPECT_NE(run.err.find(GetParam()), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(Corpus, DumpRefuses,
                         testing::Values("calamine__too_small.xls",
                                         "derived__12561-1_truncated20000.xls",
                                         "edr__Test_Issue_12556_corrupt.xls",
                                         "parseexcel__encrypted.xls", "parseexcel__Test95J.xls"));

} // namespace
} // namespace tomorine::test
