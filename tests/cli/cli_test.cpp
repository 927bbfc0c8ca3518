// tomorine-cli's command line, first start and choice of data file, and one
// run of each data file command; the rules behind them are tested on the engines.
#include "cli_process.h"
#include "store/settings/ini_functions.h"
#include "store/workbook/utf.h"
#include "store/xls/xls_file.h"
#include "support/entry_rows.h"
#include "support/temp_dir.h"
#include "upgrade/backup.h"
#include "upgrade_fixture.h"

#include <gtest/gtest.h>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>
#include <sys/stat.h>

namespace tomorine::test {

namespace fs = std::filesystem;
using nlohmann::json;

TEST(UsageErrors, ExitTwoWithAUsageLineAndTouchNothing) {
    // clang-format off
    for (const char* line :
         {"", "--data x.xls search", "search --title", "search --title a --title b",
          "search --title \xff", "show 0", "show 2147483648", "show 1 2", "delete 1x",
          "keywords --json --json", "export-html", "import-favorites a b",
          "import-bookmarks --firefox --chromium", "import-bookmarks --json",
          "capture file:///etc/passwd", "help", "help frobnicate"}) {
        // clang-format on
        SCOPED_TRACE(line);
        std::istringstream words(line);
        TempDir dir;
        CliOutcome run =
            RunCliProcess({{std::istream_iterator<std::string>(words), {}}, dir / "home"});
        EXPECT_EQ(std::tie(run.status, run.out), std::tuple(2, ""));
        EXPECT_NE(run.err.find("使い方: tomorine-cli"), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(dir / "home")) << "not even the home folder is made";
    }
}

// --data FILE (relative to the current folder) over the DATAFILE setting over
// the default file in the program folder, which the first add creates; a data
// file set by the user is never made up, the refusal says how to make it.
TEST(DataFile, OptionOverSettingOverDefault) {
    TempDir dir;
    fs::create_directories(dir / "ア");
    for (const char* file : {"ア/設定.xls", "ア/指定.xls"}) {
        WriteEntries(dir / file, {{1, u"u", FromUtf8(file), {}, {}, {}}});
    }
    auto run = [&](const Args& args) { return RunCliProcess({args, dir / "home"}); };
    EXPECT_EQ(run({"add", "--url", "u", "--title", "home/トモリネ.xls"}).out, "1\n");
    EXPECT_EQ(run({"search"}).out, "[00001]:home/トモリネ.xls\n1件 ヒットしました\n");
    auto set = [&](const fs::path& file) {
        return WriteIniString(dir / "home" / "トモリネ.ini", "トモリネ", "DATAFILE", file.string());
    };
    const fs::path missing = dir / "ブック 1.xls";
    ASSERT_TRUE(set(missing));
    const CliOutcome refused = run({"add", "--url", "u", "--title", "t"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("tomorine-cli create '" + missing.string() + "'"), std::string::npos)
        << refused.err;
    EXPECT_FALSE(fs::exists(missing));
    ASSERT_TRUE(set(dir / "ア" / "設定.xls"));
    EXPECT_EQ(run({"search"}).out, "[00001]:ア/設定.xls\n1件 ヒットしました\n");
    EXPECT_EQ(run({"search", "--data", "ア/指定.xls"}).out,
              "[00001]:ア/指定.xls\n1件 ヒットしました\n");
    fs::create_hard_link(dir / "ア/指定.xls", dir / "ア/別名.xls"); // a save splits them
    EXPECT_NE(run({"search", "--data", "ア/指定.xls"}).err.find("ハードリンク"), std::string::npos);
}

// --yes converts without asking; "n" to the question leaves the file as it was.
TEST(CheckVersion, ConvertsAnOlderFileOnlyWithConsent) {
    for (bool yes : {true, false}) {
        TempDir dir;
        const auto data = dir / "古い.xls";
        MakeFile(data, Old);
        const auto original = ReadBytes(data);
        CliOutcome run =
            RunOn(data, yes ? Args{"check-version", "--yes"} : Args{"check-version"}, "n\n");
        EXPECT_EQ(std::tie(run.status, run.out), std::tuple(0, yes ? "0105\n" : "0104\n"))
            << run.err;
        const char* shown = yes ? "\r100 %\n終了しました\n" : "データコンバートを開始します。";
        EXPECT_NE(run.err.find(shown), std::string::npos) << run.err;
        EXPECT_EQ(ReadBytes(BackupFilePath(data)), original);
        EXPECT_EQ(ReadBytes(data) == original, !yes);
    }
}

// A trailing tab comes back as a space, a line break as CR LF; keywords and
// export-html see the entry. A bare name is created in the working folder.
TEST(EntryCommands, RoundTripKeepsJapaneseTexts) {
    TempDir dir;
    const auto data = dir / "data.xls";
    ASSERT_EQ(RunCliProcess({{"create", "data.xls"}, dir / "home"}).status, 0);
    const std::string url = "https://例え.jp/パス?q='日本語'";
    CliOutcome add = RunOn(data, {"add", "--url", url, "--title", "it's  ", "--subtitle",
                                  "副題　全角", "--keywords", "犬 猫\t", "--comment", "一\n二"});
    EXPECT_EQ(std::tie(add.out, add.err), std::tuple("1\n", "登録しました\n"));
    json hits = json::parse(R"({"hits": [{"serial": 1, "url": "https://例え.jp/パス?q='日本語'",
        "title": "it's  ", "subtitle": "副題　全角", "keywords": "犬 猫 ", "comment": "一\r\n二"}]})");
    EXPECT_EQ(json::parse(RunOn(data, {"search", "--url", url, "--json"}).out), hits);
    EXPECT_EQ(RunOn(data, {"update", "1", "--subtitle", "新副題"}).err, "更新しました\n");
    hits["hits"][0]["subtitle"] = "新副題";
    EXPECT_EQ(json::parse(RunOn(data, {"show", "1", "--json"}).out), hits);
    EXPECT_EQ(RunOn(data, {"keywords"}).out, "犬\n猫\n2件 ヒットしました\n");
    EXPECT_EQ(RunOn(data, {"export-html", "p.htm"}).out, "1件 出力しました\n");
    EXPECT_EQ(RunOn(data, {"delete", "1"}).err, "削除しました\n");
    EXPECT_EQ(RunOn(data, {"show", "1"}).status, 1);
}

// Searches list what the main window lists (never the flagged entry 3);
// refusals exit 1 with nothing on standard output. Neither writes the file.
TEST(EntryCommands, SearchesAndRefusalsOnOneFile) {
    const struct {
        Args args;
        std::string out, err = {}; // a search's list without its count line
    } cases[] = {
        {{"search"}, "[00001]:Alpha ＢＥＴＡ gamma\n[00002]:beta only\n[2147483647]:最大\n"},
        {{"show", "3"}, "", "見つかりません"},
        {{"update", "1", "--title", ""}, "", "[ URL ] と [ タイトル ] は必須です"},
        {{"add", "--url", "u", "--title", "t"}, "", "シリアル番号"}, // after the largest
        {{"delete", "9"}, "", "削除するデータがデータファイルにありません"}};
    TempDir dir;
    const auto data = dir / "data.xls";
    WriteEntries(data,
                 {{1, u"https://a.example/one", u"Alpha ＢＥＴＡ gamma", u"", u"", u""},
                  {2, u"https://b.example/it's", u"beta only", u"", u"", u""},
                  {3, u"https://a.example/one", u"flagged beta", u"", u"", u""},
                  {2147483647, u"https://c.example/", u"最大", u"", u"", u""}},
                 {3});
    const auto before = ReadBytes(data);
    for (const auto& [args, out, err] : cases) {
        SCOPED_TRACE(testing::PrintToString(args));
        CliOutcome run = RunOn(data, args);
        const bool search = args[0] == "search";
        EXPECT_EQ(run.status, search ? 0 : 1);
        EXPECT_EQ(run.out,
                  search ? out + std::to_string(LineCount(out)) + "件 ヒットしました\n" : "");
        EXPECT_EQ(LineCount(run.err), err.empty() ? 0 : 1) << run.err;
        EXPECT_NE(run.err.find(err), std::string::npos) << run.err;
        EXPECT_EQ(ReadBytes(data), before);
    }
}

// xlrd's sheets without their sizes, and numbers shown as dates as numbers.
static json XlrdSheets(json dump) {
    for (json& sheet : dump.at("sheets")) {
        sheet.erase("nrows");
        sheet.erase("ncols");
        for (json& cell : sheet.at("cells")) {
            cell[2] = cell.at(2) == "date" ? "number" : cell.at(2);
        }
    }
    return dump.at("sheets");
}

TEST(DumpCommand, GivesXlrdsValuesOrRefusesInOneLine) {
    if (CorpusDir().empty()) {
        GTEST_SKIP() << "the .xls corpus is not there";
    }
    TempDir dir;
    const std::string read = "parseexcel__Test97J.xls", broken = "parseexcel__encrypted.xls";
    CliOutcome run = RunCliProcess({{"dump", (CorpusDir() / read).string()}, dir / "home"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(json::parse(run.out).at("sheets"),
              XlrdSheets(json::parse(ReadText(CorpusDir() / (read + ".json")))));
    run = RunCliProcess({{"dump", (CorpusDir() / broken).string()}, dir / "home"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(broken), std::string::npos) << run.err;
}

// merge: a refusal in one line, the data file untouched; then the count of
// new entries, numbered after the largest serial. conflicts: each copy with
// what it would add, or why it cannot be merged; --merge takes the good ones
// and puts them aside without replacing a file there, and leaves the others
// in place.
TEST(MergeCommands, MergeAReferenceThenTheConflictCopies) {
    TempDir dir;
    const fs::path data = dir / "bm.xls";
    const Entry a{3, u"http://a.jp/", u"元", u"", u"", u""};
    const Entry b{2, u"http://b.jp/", u"新", u"", u"", u""};
    WriteEntries(data, {a});
    WriteEntries(dir / "ref.xls", {{1, u"http://c.jp/", u"参照", u"", u"", u""}, a});
    const auto before = ReadBytes(data);
    CliOutcome run = RunOn(data, {"merge", (dir / "none.xls").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(LineCount(run.err), 1) << run.err;
    EXPECT_NE(run.err.find("none.xls"), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(data), before);
    run = RunOn(data, {"merge", (dir / "ref.xls").string()});
    EXPECT_EQ(run.out, "1\n") << run.err;
    EXPECT_EQ(RunOn(data, {"search", "--url", "http://c.jp/"}).out.find("[00004]:参照\n"), 0U);

    const struct {
        std::string file;
        int entries, added;
        const char* error; // the telling part of it
    } copies[] = {
        {"bm (conflicted copy 2026-12-06 134501).xls", 1, 0, nullptr},
        {"bm (laptop's conflicted copy 2026-12-06).xls", 0, 0, "laptop's"},
        {"bm (old's conflicted copy 2026-12-06).xls", 0, 0, "0104"},
        {"bm (pc's conflicted copy 2026-12-06).xls", 0, 0,
         "トモリネのデータファイルではありません"},
        {"bm (pipe's conflicted copy 2026-12-06).xls", 0, 0, "通常のファイルではありません"},
        {"bm.sync-conflict-20261206-134501-ABCDEF1.xls", 2, 1, nullptr}};
    WriteEntries(dir / copies[0].file, {a});
    MakeFile(dir / copies[1].file, Garbage);
    MakeFile(dir / copies[2].file, Old);
    Workbook other;
    other.addSheet(u"Sheet1").setCell(1, 1, Cell::text(u"x"));
    WriteXlsFile(other, dir / copies[3].file);
    mkfifo((dir / copies[4].file).c_str(), 0600);
    WriteEntries(dir / copies[5].file, {a, b});
    WriteEntries(dir / "bm (copy).xls", {b});
    fs::create_directories(dir / "conflicts");
    MakeFile(dir / "conflicts" / copies[0].file, New);

    run = RunOn(data, {"conflicts", "--json"});
    EXPECT_EQ(run.status, 1);
    const json listed = json::parse(run.out)["copies"];
    ASSERT_EQ(listed.size(), std::size(copies)) << run.out;
    for (size_t i = 0; i < std::size(copies); ++i) {
        const auto& [file, entries, added, error] = copies[i];
        const json& got = listed[i];
        EXPECT_EQ(std::tuple(got["file"], got["entries"], got["new"]),
                  std::tuple(file, entries, added));
        EXPECT_TRUE(error ? got["error"].get<std::string>().find(error) != std::string::npos
                          : got["error"].is_null())
            << got;
    }

    const CliOutcome merged = RunOn(data, {"conflicts", "--merge"});
    EXPECT_EQ(merged.status, 1) << merged.out << merged.err;
    EXPECT_EQ(RunOn(data, {"search", "--url", "http://b.jp/"}).out.find("[00005]:新\n"), 0U);
    EXPECT_EQ(FileNames(dir / "conflicts"),
              (std::set<std::string>{copies[0].file, copies[5].file,
                                     "bm (conflicted copy 2026-12-06 134501) (2).xls"}))
        << merged.out << merged.err;
    for (int i : {1, 2, 3, 4}) {
        EXPECT_TRUE(fs::exists(dir / copies[i].file)) << copies[i].file;
    }
    EXPECT_EQ(json::parse(RunOn(data, {"conflicts", "--json"}).out)["copies"].size(), 4U);
}

// libcurl is opened on first use: one that cannot be opened is an error
// naming it, not a crash at start or a missing symbol, and nothing changes.
TEST(CheckLinks, ALibcurlThatCannotBeOpenedIsNamed) {
    const TempDir dir;
    const fs::path data = dir / "data.xls";
    ASSERT_EQ(RunCliProcess({{"create", "data.xls"}, dir / "home"}).status, 0);
    ASSERT_EQ(RunOn(data, {"add", "--url", "http://127.0.0.1:9/", "--title", "t"}).status, 0);
    const std::vector<std::uint8_t> before = ReadBytes(data);
    fs::create_directory(dir / "lib");
    WriteBytes(dir / "lib" / "libcurl.so.4", {}); // not a library
    const CliOutcome run =
        RunCliProcess({.args = {"check-links", "--data", data.string(), "--delete"},
                       .home = dir / "home",
                       .libraries = dir / "lib"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("libcurl.so.4 を読み込めません"), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(data), before);
}

} // namespace tomorine::test
