// add, show, update and delete through the program, on real files.
#include "cli/cli_harness.h"
#include "store/workbook/utf.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

using nlohmann::json;

TEST(EntryCommands, RoundTripKeepsJapaneseTextsAndCutsLongFields) {
    std::u16string long3000;
    while (long3000.size() < 3000) {
        long3000 += u"長いテキストlong'";
    }
    const std::pair<Entry, Entry> cases[] = {
        // given, read back
        {{0, u"https://例え.jp/パス?q='日本語'", u"it's  ", u"副題　全角", u"犬 猫\t", u"一\n二"},
         {1, u"https://例え.jp/パス?q='日本語'", u"it's  ", u"副題　全角", u"犬 猫 ", u"一\r\n二"}},
        {{0, long3000, long3000, long3000, long3000, long3000},
         {1, long3000.substr(0, 2000), long3000.substr(0, 500), long3000.substr(0, 500),
          long3000.substr(0, 2000), long3000.substr(0, 2000)}}};
    for (const auto& [given, stored] : cases) {
        TempDir dir;
        const std::string data = (dir / "data.xls").string();
        auto run = [&](std::vector<std::string> args) {
            args.insert(args.begin() + 1, {"--data", data});
            return RunCli(dir.path(), args);
        };
        ASSERT_EQ(RunCli(dir.path(), {"create", data}).status, 0);

        CliRun add = run({"add", "--url", ToUtf8(given.url), "--title", ToUtf8(given.title),
                          "--subtitle", ToUtf8(given.subtitle), "--keywords",
                          ToUtf8(given.keywords), "--comment", ToUtf8(given.comment)});
        EXPECT_EQ(add.status, 0) << add.err;
        EXPECT_EQ(add.out, "1\n");
        EXPECT_EQ(add.err, "登録しました\n");
        EXPECT_EQ(json::parse(run({"show", "1", "--json"}).out), Hits({stored}));
        const CliRun search = run({"search", "--url", ToUtf8(stored.url), "--json"});
        EXPECT_EQ(json::parse(search.out), Hits({stored}));

        CliRun update = run({"update", "1", "--subtitle", "新副題"});
        EXPECT_EQ(update.err, "更新しました\n");
        Entry updated = stored;
        updated.subtitle = u"新副題";
        EXPECT_EQ(json::parse(run({"show", "1", "--json"}).out), Hits({updated}));

        CliRun del = run({"delete", "1"});
        EXPECT_EQ(del.err, "削除しました\n");
        EXPECT_EQ(run({"show", "1"}).status, 1);
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
        {{"add", "--url", "u", "--title", "t"}, "シリアル番号"}, // the largest serial is taken
        {{"delete", "9"}, "削除するデータがデータファイルにありません"}};
    TempDir dir;
    const auto data = dir / "data.xls";
    WriteDataWorkbook(data,
                      {{1, u"https://live.example/", u"live", {}, {}, {}},
                       {3, u"https://gone.example/", u"flagged", {}, {}, {}},
                       {2147483647, u"https://max.example/", u"max", {}, {}, {}}},
                      {3, 2147483647});
    const auto before = ReadBytes(data);
    for (auto [args, message] : cases) {
        SCOPED_TRACE(testing::PrintToString(args));
        args.insert(args.begin() + 1, {"--data", data.string()});
        CliRun run = RunCli(dir.path(), args);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(LineCount(run.err), 1) << run.err;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        EXPECT_EQ(ReadBytes(data), before);
    }
}

} // namespace
} // namespace tomorine::test
