// search: the same statement and word test as the main window's 検索.
#include "cli/cli_harness.h"
#include "store/workbook/utf.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

const std::u16string kUrl130 = u"https://long.example/" + std::u16string(109, u'p');

const std::vector<Entry> kEntries = {
    {1, u"https://a.example/one", u"Alpha ＢＥＴＡ gamma", u"サブ", u"犬 猫", u"first"},
    {2, u"https://b.example/it's", u"beta only", u"", u"猫", u""},
    {3, u"https://a.example/one", u"flagged beta", u"サブ", u"猫", u""},
    {7, kUrl130, u"ロング", u"", u"", std::u16string(120, u'x') + u"needle"},
    {123456, u"https://c.example/", u"六桁", u"", u"", u""}};

const char* const kLines[] = {"[00001]:Alpha ＢＥＴＡ gamma", "[00002]:beta only", "",
                              "[00007]:ロング", "[123456]:六桁"};

// Lines as the result list shows them, then the count; --json the entries.
TEST(SearchCommand, FindsWhatTheMainWindowFinds) {
    const std::pair<std::vector<std::string>, std::vector<int>> cases[] = {
        {{}, {0, 1, 3, 4}}, // indexes into kEntries; the flagged one never
        {{"--title", "beta"}, {0, 1}},
        {{"--title", "GAMMA alpha"}, {0}},
        {{"--title", "ｂｅｔａ　only"}, {1}},
        {{"--url", "https://b.example/it's"}, {1}},
        {{"--url", "https://b.example/"}, {}},
        {{"--url", ToUtf8(kUrl130)}, {3}},
        {{"--keywords", "犬 猫", "--subtitle", "サブ"}, {0}},
        {{"--comment", "needle"}, {3}}};
    TempDir dir;
    WriteDataWorkbook(dir / "data.xls", kEntries, {3});
    for (const auto& [options, hits] : cases) {
        SCOPED_TRACE(testing::PrintToString(options));
        std::vector<std::string> args = {"search", "--data", (dir / "data.xls").string()};
        args.insert(args.end(), options.begin(), options.end());
        CliRun run = RunCli(dir.path(), args);
        std::string lines;
        std::vector<Entry> entries;
        for (int hit : hits) {
            lines += kLines[hit] + std::string("\n");
            entries.push_back(kEntries[hit]);
        }
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, lines + std::to_string(hits.size()) + "件 ヒットしました\n");
        EXPECT_EQ(run.err, hits.empty() ? "見つかりません\n" : "");
        args.push_back("--json");
        EXPECT_EQ(nlohmann::json::parse(RunCli(dir.path(), args).out), Hits(entries));
    }
}

} // namespace
} // namespace tomorine::test
