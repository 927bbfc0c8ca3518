// search: the same statement and word test as the main window's 検索.
#include "cli/cli_fixtures.h"
#include "cli/cli_run.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <map>

namespace tomorine::test {
namespace {

const std::u16string kUrl130 = u"https://long.example/" + std::u16string(109, u'p');

const std::vector<StoredEntry> kEntries = {
    {{1, u"https://a.example/one", u"Alpha ＢＥＴＡ gamma", u"サブ", u"犬 猫", u"first comment"}},
    {{2, u"https://b.example/it's", u"beta only", u"", u"猫", u""}},
    {{3, u"https://a.example/one", u"flagged beta", u"サブ", u"猫", u""}, 1},
    {{7, kUrl130, u"ロング", u"", u"", std::u16string(120, u'x') + u"needle"}},
    {{123456, u"https://c.example/", u"六桁", u"", u"", u""}},
};

const std::map<int, std::string> kLines = {{1, "[00001]:Alpha ＢＥＴＡ gamma"},
                                           {2, "[00002]:beta only"},
                                           {7, "[00007]:ロング"},
                                           {123456, "[123456]:六桁"}};

struct SearchCase {
    std::vector<std::string> options;
    std::vector<int> serials;
};

class SearchTable : public testing::TestWithParam<SearchCase> {
protected:
    static void SetUpTestSuite() {
        dir_ = new TempDir;
        WriteDataWorkbook(*dir_ / "data.xls", kEntries);
    }
    static void TearDownTestSuite() { delete dir_; }

    CliRun search(bool json) {
        std::vector<std::string> args = {"search", "--data", (*dir_ / "data.xls").string()};
        args.insert(args.end(), GetParam().options.begin(), GetParam().options.end());
        if (json) {
            args.push_back("--json");
        }
        return RunCli(dir_->path(), args);
    }

    static TempDir* dir_;
};

TempDir* SearchTable::dir_ = nullptr;

TEST_P(SearchTable, ListsLinesAsTheResultListDoes) {
    CliRun run = search(false);
    EXPECT_EQ(run.status, 0);
    std::string expected;
    for (int serial : GetParam().serials) {
        expected += kLines.at(serial) + "\n";
    }
    expected += std::to_string(GetParam().serials.size()) + "件 ヒットしました\n";
    EXPECT_EQ(run.out, expected);
    EXPECT_EQ(run.err, GetParam().serials.empty() ? "見つかりません\n" : "");
}

TEST_P(SearchTable, JsonHoldsTheWholeEntries) {
    CliRun run = search(true);
    EXPECT_EQ(run.status, 0);
    std::vector<Entry> expected;
    for (int serial : GetParam().serials) {
        expected.push_back(std::find_if(kEntries.begin(), kEntries.end(), [&](const auto& s) {
                               return s.entry.serial == serial;
                           })->entry);
    }
    EXPECT_THAT(ParseHits(run.out), testing::ElementsAreArray(expected));
}

INSTANTIATE_TEST_SUITE_P(
    Table, SearchTable,
    testing::Values(SearchCase{{}, {1, 2, 7, 123456}}, SearchCase{{"--title", "beta"}, {1, 2}},
                    SearchCase{{"--title", "GAMMA alpha"}, {1}},
                    SearchCase{{"--title", "ｂｅｔａ　only"}, {2}},
                    SearchCase{{"--url", "https://a.example/one"}, {1}},
                    SearchCase{{"--url", "https://b.example/it's"}, {2}},
                    SearchCase{{"--url", "https://b.example/"}, {}},
                    SearchCase{{"--url", Utf8(kUrl130)}, {7}},
                    SearchCase{{"--keywords", "猫"}, {1, 2}},
                    SearchCase{{"--keywords", "犬 猫", "--subtitle", "サブ"}, {1}},
                    SearchCase{{"--comment", "needle"}, {7}},
                    SearchCase{{"--title", "flagged"}, {}}, SearchCase{{"--title", "zzz"}, {}}));

} // namespace
} // namespace tomorine::test
