// search, show, add, update and delete through the program, on real files.
#include "cli/cli_harness.h"
#include "store/workbook/utf.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

using nlohmann::json;

TEST(EntryCommands, RoundTripKeepsJapaneseTextsAndCutsLongFields) {
    std::u16string t; // 3,000 units
    for (int i = 0; i < 3000; ++i) {
        t += u"長いテキストlong'"[i % 11];
    }
    const std::pair<Entry, Entry> cases[] = {
        // as given, as read back
        {{0, u"https://例え.jp/パス?q='日本語'", u"it's  ", u"副題　全角", u"犬 猫\t", u"一\n二"},
         {1, u"https://例え.jp/パス?q='日本語'", u"it's  ", u"副題　全角", u"犬 猫 ", u"一\r\n二"}},
        {{0, t, t, t, t, t},
         {1, t.substr(0, 2000), t.substr(0, 500), t.substr(0, 500), t.substr(0, 2000),
          t.substr(0, 2000)}}};
    for (const auto& [given, stored] : cases) {
        TempDir dir;
        const auto data = dir / "data.xls";
        ASSERT_EQ(RunCli(dir.path(), {"create", data.string()}).status, 0);

        CliRun add = RunOn(data, {"add", "--url", ToUtf8(given.url), "--title", ToUtf8(given.title),
                                  "--subtitle", ToUtf8(given.subtitle), "--keywords",
                                  ToUtf8(given.keywords), "--comment", ToUtf8(given.comment)});
        EXPECT_EQ(add.out, "1\n");
        EXPECT_EQ(add.err, "登録しました\n");
        EXPECT_EQ(json::parse(RunOn(data, {"show", "1", "--json"}).out), Hits({stored}));
        const CliRun search = RunOn(data, {"search", "--url", ToUtf8(stored.url), "--json"});
        EXPECT_EQ(json::parse(search.out), Hits({stored}));

        EXPECT_EQ(RunOn(data, {"update", "1", "--subtitle", "新副題"}).err, "更新しました\n");
        Entry updated = stored;
        updated.subtitle = u"新副題";
        EXPECT_EQ(json::parse(RunOn(data, {"show", "1", "--json"}).out), Hits({updated}));

        EXPECT_EQ(RunOn(data, {"delete", "1"}).err, "削除しました\n");
        EXPECT_EQ(RunOn(data, {"show", "1"}).status, 1);
    }
}

// Refusals leave the data file exactly as it was.
TEST(EntryCommands, RefusalsExitOneInOneLineAndKeepTheFile) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"show", "9"}, "見つかりません"},
        {{"show", "3"}, "見つかりません"}, // flagged as deleted
        {{"update", "3", "--title", "x"}, "見つかりません"},
        {{"update", "1", "--title", ""}, "[ URL ] と [ タイトル ] は必須です"},
        {{"add", "--url", "u"}, "[ URL ] と [ タイトル ] は必須です"},
        {{"add", "--url", "u", "--title", "t"}, "シリアル番号"}, // after the largest one
        {{"delete", "9"}, "削除するデータがデータファイルにありません"}};
    TempDir dir;
    const auto data = dir / "data.xls";
    WriteDataWorkbook(data,
                      {{1, u"https://live.example/", u"live", {}, {}, {}},
                       {3, u"https://gone.example/", u"flagged", {}, {}, {}},
                       {2147483647, u"https://max.example/", u"max", {}, {}, {}}},
                      {3, 2147483647});
    const auto before = ReadBytes(data);
    for (const auto& [args, message] : cases) {
        SCOPED_TRACE(testing::PrintToString(args));
        CliRun run = RunOn(data, args);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(LineCount(run.err), 1) << run.err;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        EXPECT_EQ(ReadBytes(data), before);
    }
}

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
        {{"search"}, {0, 1, 3, 4}}, // indexes into kEntries; the flagged one never
        {{"search", "--title", "BETA"}, {0, 1}},
        {{"search", "--url", "https://b.example/it's"}, {1}},
        {{"search", "--url", "https://b.example/"}, {}},
        {{"search", "--url", ToUtf8(kUrl130)}, {3}},
        {{"search", "--keywords", "犬 猫", "--subtitle", "サブ"}, {0}},
        {{"search", "--comment", "needle"}, {3}}};
    TempDir dir;
    WriteDataWorkbook(dir / "data.xls", kEntries, {3});
    for (auto [args, hits] : cases) {
        SCOPED_TRACE(testing::PrintToString(args));
        CliRun run = RunOn(dir / "data.xls", args);
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
        EXPECT_EQ(nlohmann::json::parse(RunOn(dir / "data.xls", args).out), Hits(entries));
    }
}

} // namespace
} // namespace tomorine::test
