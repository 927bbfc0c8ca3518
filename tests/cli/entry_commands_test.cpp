// add, show, update and delete through the program, on real files.
#include "cli/cli_fixtures.h"
#include "cli/cli_run.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tomorine::test {

namespace {

std::u16string Repeat(std::u16string_view pattern, size_t length) {
    std::u16string text;
    while (text.size() < length) {
        text += pattern;
    }
    return text.substr(0, length);
}

std::vector<std::string> FieldArgs(const Entry& e) {
    return {"--url",          Utf8(e.url),  "--title",        Utf8(e.title), "--subtitle",
            Utf8(e.subtitle), "--keywords", Utf8(e.keywords), "--comment",   Utf8(e.comment)};
}

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct RoundTrip {
    const char* name;
    Entry given;
    Entry stored; // as show reads it back
};

const std::u16string kLong = Repeat(u"長いテキストlong'", 3000);

const RoundTrip kRoundTrips[] = {
    {"Japanese",
     {0, u"https://例え.jp/パス?q=日本語", u"トモリネの使い方", u"副題　全角",
      u"ブックマーク 日本語", u"一行目\n二行目"},
     {1, u"https://例え.jp/パス?q=日本語", u"トモリネの使い方", u"副題　全角",
      u"ブックマーク 日本語", u"一行目\r\n二行目"}},
    {"Apostrophes",
     {0, u"https://x.example/?q='a'", u"it's O''Reilly", u"'", u"'quoted'", u"''"},
     {1, u"https://x.example/?q='a'", u"it's O''Reilly", u"'", u"'quoted'", u"''"}},
    {"LongFieldsAreCut",
     {0, kLong, kLong, kLong, kLong, kLong},
     {1, kLong.substr(0, 2000), kLong.substr(0, 500), kLong.substr(0, 500), kLong.substr(0, 2000),
      kLong.substr(0, 2000)}},
    {"TrailingBlanks",
     {0, u"https://t.example/ ", u"abc  ", u"sub ", u"tab\t", u" c "},
     {1, u"https://t.example/ ", u"abc  ", u"sub ", u"tab ", u" c "}},
};

class EntryRoundTrip : public testing::TestWithParam<RoundTrip> {};

TEST_P(EntryRoundTrip, AddShowSearchUpdateDelete) {
    TempDir dir;
    const std::string data = (dir / "data.xls").string();
    const Entry& stored = GetParam().stored;
    ASSERT_EQ(RunCli(dir.path(), {"create", data}).status, 0);

    CliRun add = RunCli(dir.path(), Join({"add", "--data", data}, FieldArgs(GetParam().given)));
    ASSERT_EQ(add.status, 0) << add.err;
    EXPECT_EQ(add.out, "1\n");
    EXPECT_EQ(add.err, "登録しました\n");

    CliRun show = RunCli(dir.path(), {"show", "--data", data, "1", "--json"});
    ASSERT_EQ(show.status, 0) << show.err;
    EXPECT_THAT(ParseHits(show.out), testing::ElementsAre(stored));

    CliRun search =
        RunCli(dir.path(), {"search", "--data", data, "--url", Utf8(stored.url), "--json"});
    EXPECT_THAT(ParseHits(search.out), testing::ElementsAre(stored));

    CliRun update = RunCli(dir.path(), {"update", "--data", data, "1", "--subtitle", "新副題"});
    EXPECT_EQ(update.status, 0) << update.err;
    EXPECT_EQ(update.err, "更新しました\n");
    Entry updated = stored;
    updated.subtitle = u"新副題";
    show = RunCli(dir.path(), {"show", "--data", data, "1", "--json"});
    EXPECT_THAT(ParseHits(show.out), testing::ElementsAre(updated));

    CliRun del = RunCli(dir.path(), {"delete", "--data", data, "1"});
    EXPECT_EQ(del.status, 0) << del.err;
    EXPECT_EQ(del.err, "削除しました\n");
    EXPECT_EQ(RunCli(dir.path(), {"show", "--data", data, "1"}).status, 1);
}

INSTANTIATE_TEST_SUITE_P(Table, EntryRoundTrip, testing::ValuesIn(kRoundTrips),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EntryCommands, ShowLabelsTheFiveFields) {
    TempDir dir;
    const auto data = dir / "data.xls";
    WriteDataWorkbook(data, {{{7, u"https://a.example/", u"題", u"副", u"鍵", u"一\r\n二"}}});
    CliRun show = RunCli(dir.path(), {"show", "--data", data.string(), "7"});
    EXPECT_EQ(show.status, 0);
    EXPECT_EQ(show.out, "URL: https://a.example/\nタイトル: 題\nサブタイトル: 副\n"
                        "キーワード: 鍵\nコメント: 一\n二\n");
}

TEST(EntryCommands, SerialsFollowTheHighestInTheFile) {
    TempDir dir;
    const std::string data = (dir / "data.xls").string();
    ASSERT_EQ(RunCli(dir.path(), {"create", data}).status, 0);
    auto add = [&] {
        return RunCli(dir.path(), {"add", "--data", data, "--url", "u", "--title", "t"}).out;
    };
    EXPECT_EQ(add(), "1\n");
    EXPECT_EQ(add(), "2\n");
    ASSERT_EQ(RunCli(dir.path(), {"delete", "--data", data, "2"}).status, 0);
    EXPECT_EQ(add(), "2\n"); // the highest serial is taken again, as the register command does
}

// Failures that must leave the data file exactly as it was.
struct Refusal {
    std::vector<std::string> args; // --data FILE is put right after the command name
    std::string message;
};

class EntryRefusals : public testing::TestWithParam<Refusal> {};

TEST_P(EntryRefusals, ExitOneOneLineFileUnchanged) {
    TempDir dir;
    const auto data = dir / "data.xls";
    WriteDataWorkbook(data, {{MakeEntry(1, u"https://live.example/", u"live")},
                             {MakeEntry(3, u"https://gone.example/", u"flagged"), 1},
                             {MakeEntry(2147483647, u"https://max.example/", u"max"), 1}});
    const auto before = ReadBytes(data);
    std::vector<std::string> args = GetParam().args;
    args.insert(args.begin() + 1, {"--data", data.string()});
    CliRun run = RunCli(dir.path(), args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(LineCount(run.err), 1) << run.err;
    EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(data), before);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EntryRefusals,
    testing::Values(Refusal{{"show", "9"}, "見つかりません"},
                    Refusal{{"show", "3"}, "見つかりません"}, // flagged as deleted
                    Refusal{{"update", "9", "--title", "x"}, "見つかりません"},
                    Refusal{{"update", "3", "--title", "x"}, "見つかりません"},
                    Refusal{{"update", "1", "--url", ""}, "[ URL ] と [ タイトル ] は必須です"},
                    Refusal{{"update", "1", "--title", ""}, "[ URL ] と [ タイトル ] は必須です"},
                    Refusal{{"add", "--url", "u"}, "[ URL ] と [ タイトル ] は必須です"},
                    Refusal{{"add", "--url", "", "--title", "t"},
                            "[ URL ] と [ タイトル ] は必須です"},
                    Refusal{{"add", "--url", "u", "--title", "t"}, "シリアル番号"},
                    Refusal{{"delete", "9"}, "削除するデータがデータファイルにありません"}));

} // namespace
} // namespace tomorine::test
