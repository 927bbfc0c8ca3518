// tomorine-cli run as a program in a temporary folder, on files built at run
// time, and dump against xlrd's reading of corpus files.
#include "cli_process.h"
#include "store/settings/ini_functions.h"
#include "store/workbook/utf.h"
#include "support/data_file.h"
#include "support/temp_dir.h"
#include "upgrade/backup.h"
#include "upgrade_fixture.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>
#include <unistd.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using Args = std::vector<std::string>;

// The built tomorine-cli with TOMORINE_HOME = home, run in home's parent.
CliOutcome RunCli(const fs::path& home, const Args& args, const std::string& input = "") {
    CliLaunch launch(args, home);
    launch.input = input;
    return RunCliProcess(launch);
}

// COMMAND --data FILE ARGS (args[0] is the command); the home beside the file.
CliOutcome RunOn(const fs::path& data, Args args, const std::string& input = "") {
    args.insert(args.begin() + 1, {"--data", data.string()});
    return RunCli(data.parent_path() / "home", args, input);
}

int LineCount(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST(UsageErrors, ExitTwoWithAUsageLineAndTouchNothing) {
    // clang-format off
    for (const char* line :
         {"", "frobnicate", "--data x.xls search", "search --bogus", "search --title",
          "search --title a --title b", "search --title \xff", "show 0", "show 2147483648",
          "show 1 2", "add --url u --title t --json", "delete 1x", "check-version y", "dump a b",
          "keywords extra", "keywords --bogus", "keywords --json --json", "export-html",
          "export-html a.htm b.htm", "export-html a.htm --json", "import-favorites a b",
          "check-links extra", "check-links --bogus"}) {
        // clang-format on
        SCOPED_TRACE(line);
        std::istringstream words(line);
        TempDir dir;
        CliOutcome run = RunCli(dir / "home", {std::istream_iterator<std::string>(words), {}});
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("使い方: tomorine-cli"), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir / "home")) << "not even the home folder is made";
    }
}

// --data FILE (relative to the current folder) over the DATAFILE setting over
// the default file in the program folder.
TEST(DataFile, OptionOverSettingOverDefault) {
    TempDir dir;
    fs::create_directories(dir / "home");
    fs::create_directories(dir / "ア");
    for (const char* file : {"home/トモリネ.xls", "ア/設定.xls", "ア/指定.xls"}) {
        WriteEntries(dir / file, {{1, u"u", FromUtf8(file), {}, {}, {}}});
    }
    auto found = [&](const Args& args) { return RunCli(dir / "home", args).out; };
    EXPECT_EQ(found({"search"}), "[00001]:home/トモリネ.xls\n1件 ヒットしました\n");
    ASSERT_TRUE(WriteIniString(dir / "home" / "トモリネ.ini", "トモリネ", "DATAFILE",
                               (dir / "ア" / "設定.xls").string()));
    EXPECT_EQ(found({"search"}), "[00001]:ア/設定.xls\n1件 ヒットしました\n");
    EXPECT_EQ(found({"search", "--data", "ア/指定.xls"}),
              "[00001]:ア/指定.xls\n1件 ヒットしました\n");
}

enum Condition { Missing, NotAWorkbook, ReadOnlyFile, ReadOnlyFolder };

// Exit 1 and one line naming the file (or its folder); the file as it was and
// nothing left beside it. ctest runs this once more as nobody for the
// read-only cases.
TEST(DataFile, RefusedWhenMissingNotAWorkbookOrReadOnly) {
    for (const Args& args :
         {Args{"search"}, Args{"show", "1"}, Args{"add", "--url", "u", "--title", "t"},
          Args{"update", "1", "--title", "t"}, Args{"delete", "1"}, Args{"compact"},
          Args{"check-version", "--yes"}, Args{"keywords"}, Args{"check-links"}}) {
        const bool writes = args[0] != "search" && args[0] != "show" &&
                            args[0] != "check-version" && args[0] != "keywords" &&
                            args[0] != "check-links";
        for (Condition condition : {Missing, NotAWorkbook, ReadOnlyFile, ReadOnlyFolder}) {
            if (condition >= ReadOnlyFile && (!writes || ::geteuid() == 0)) {
                continue;
            }
            SCOPED_TRACE(args[0] + " in condition " + std::to_string(condition));
            TempDir dir;
            const auto data = dir / "データ.xls";
            if (condition == NotAWorkbook) {
                WriteBytes(data, {'U', 'R', 'L', ',', 't', '\r', '\n'});
            } else if (condition != Missing) {
                WriteEntries(data, {{1, u"https://a.example/", u"題", {}, {}, {}}});
                fs::permissions(condition == ReadOnlyFile ? data : dir.path(),
                                fs::perms::owner_write, fs::perm_options::remove);
            }
            const auto before = BytesOrNothing(data);

            CliOutcome run = RunOn(data, args);

            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.out, args[0] == "check-version" ? "-1\n" : "");
            EXPECT_EQ(LineCount(run.err), 1) << run.err;
            const auto named = (condition == ReadOnlyFolder ? dir.path() : data).string();
            EXPECT_TRUE(run.err.find(named) != std::string::npos) << run.err;
            EXPECT_EQ(BytesOrNothing(data), before);
            EXPECT_EQ(FileNames(dir.path()).size(), condition == Missing ? 0u : 1u);
        }
    }
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

        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, yes ? "0105\n" : "0104\n");
        const char* shown = yes ? "\r100 %\n終了しました\n" : "データコンバートを開始します。";
        EXPECT_NE(run.err.find(shown), std::string::npos) << run.err;
        EXPECT_EQ(ReadBytes(BackupFilePath(data)), original);
        EXPECT_EQ(ReadBytes(data) == original, !yes);
    }
}

// A trailing tab comes back as a space, a line break as CR LF. Cutting long
// fields is tested on the store and through the editor.
TEST(EntryCommands, RoundTripKeepsJapaneseTexts) {
    TempDir dir;
    const auto data = dir / "data.xls";
    ASSERT_EQ(RunCli(dir.path(), {"create", data.string()}).status, 0);
    const std::string url = "https://例え.jp/パス?q='日本語'";
    CliOutcome add = RunOn(data, {"add", "--url", url, "--title", "it's  ", "--subtitle",
                                  "副題　全角", "--keywords", "犬 猫\t", "--comment", "一\n二"});
    EXPECT_EQ(add.out, "1\n");
    EXPECT_EQ(add.err, "登録しました\n");
    json hits = json::parse(R"({"hits": [{"serial": 1, "url": "https://例え.jp/パス?q='日本語'",
        "title": "it's  ", "subtitle": "副題　全角", "keywords": "犬 猫 ", "comment": "一\r\n二"}]})");
    EXPECT_EQ(json::parse(RunOn(data, {"search", "--url", url, "--json"}).out), hits);

    EXPECT_EQ(RunOn(data, {"update", "1", "--subtitle", "新副題"}).err, "更新しました\n");
    hits["hits"][0]["subtitle"] = "新副題";
    EXPECT_EQ(json::parse(RunOn(data, {"show", "1", "--json"}).out), hits);
    EXPECT_EQ(RunOn(data, {"delete", "1"}).err, "削除しました\n");
    EXPECT_EQ(RunOn(data, {"show", "1"}).status, 1);
}

const std::u16string kUrl130 = u"https://long.example/" + std::u16string(109, u'p');

const std::vector<Entry> kEntries = {
    {1, u"https://a.example/one", u"Alpha ＢＥＴＡ gamma", u"サブ", u"犬 猫", u"first"},
    {2, u"https://b.example/it's", u"beta only", u"", u"猫", u""},
    {3, u"https://a.example/one", u"flagged beta", u"サブ", u"猫", u""},
    {7, kUrl130, u"ロング", u"", u"", std::u16string(120, u'x') + u"needle"},
    {2147483647, u"https://c.example/", u"最大", u"", u"", u""}};

// Searches list what the main window lists (never the flagged entry 3);
// refusals exit 1 with nothing on standard output. Neither writes the file.
TEST(EntryCommands, SearchesAndRefusalsOnOneFile) {
    const struct {
        Args args;
        std::string out, err = {}; // a search's list without its count line
    } cases[] = {
        {{"search"},
         "[00001]:Alpha ＢＥＴＡ gamma\n[00002]:beta only\n[00007]:ロング\n[2147483647]:最大\n"},
        {{"search", "--title", "BETA"}, "[00001]:Alpha ＢＥＴＡ gamma\n[00002]:beta only\n"},
        {{"search", "--url", "https://b.example/it's"}, "[00002]:beta only\n"},
        {{"search", "--url", "https://b.example/"}, "", "見つかりません"},
        {{"search", "--url", ToUtf8(kUrl130)}, "[00007]:ロング\n"},
        {{"search", "--keywords", "犬 猫", "--subtitle", "サブ"}, "[00001]:Alpha ＢＥＴＡ gamma\n"},
        {{"search", "--comment", "needle"}, "[00007]:ロング\n"},
        {{"show", "3"}, "", "見つかりません"},
        {{"update", "3", "--title", "x"}, "", "見つかりません"},
        {{"update", "1", "--title", ""}, "", "[ URL ] と [ タイトル ] は必須です"},
        {{"add", "--url", "u"}, "", "[ URL ] と [ タイトル ] は必須です"},
        {{"add", "--url", "u", "--title", "t"}, "", "シリアル番号"}, // after the largest
        {{"delete", "9"}, "", "削除するデータがデータファイルにありません"}};
    TempDir dir;
    const auto data = dir / "data.xls";
    WriteEntries(data, kEntries, {3});
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
json XlrdSheets(json dump) {
    for (json& sheet : dump.at("sheets")) {
        sheet.erase("nrows");
        sheet.erase("ncols");
        for (json& cell : sheet.at("cells")) {
            cell[2] = cell.at(2) == "date" ? "number" : cell.at(2);
        }
    }
    return dump.at("sheets");
}

// Broken files (and Excel 95) are refused in one line naming the file.
TEST(DumpCommand, GivesXlrdsValuesOrRefusesInOneLine) {
    if (CorpusDir().empty()) {
        GTEST_SKIP() << "no corpus";
    }
    TempDir dir;
    for (const auto& [name, read] : {std::pair{"parseexcel__Test97J.xls", true},
                                     {"sheetjs__ErrorTypes.xls", true},
                                     {"calamine__too_small.xls", false},
                                     {"parseexcel__encrypted.xls", false},
                                     {"parseexcel__Test95J.xls", false}}) {
        SCOPED_TRACE(name);
        CliOutcome run = RunCli(dir / "home", {"dump", (CorpusDir() / name).string()});
        EXPECT_EQ(run.status, read ? 0 : 1);
        EXPECT_EQ(LineCount(run.err), read ? 0 : 1) << run.err;
        EXPECT_NE(run.err.find(read ? "" : name), std::string::npos) << run.err;
        if (!read) {
            EXPECT_EQ(run.out, "");
            continue;
        }
        const auto golden = ReadBytes(CorpusDir() / (name + std::string(".json")));
        EXPECT_EQ(json::parse(run.out).at("sheets"),
                  XlrdSheets(json::parse(golden.begin(), golden.end())));
    }
}

// merge: the dialog's refusals in one line, the count of new entries on
// standard output, the data file untouched after a failure.
TEST(MergeCommand, AddsNewEntriesOrRefusesInOneLine) {
    TempDir dir;
    const fs::path data = dir / "bm.xls", reference = dir / "ref" / "other.xls";
    fs::create_directories(reference.parent_path());
    WriteEntries(data, {{3, u"http://a.jp/", u"元", u"", u"", u""}});
    WriteEntries(reference, {{1, u"http://a.jp/", u"元", u"", u"", u""},
                             {2, u"http://b.jp/", u"新", u"", u"", u""}});
    MakeFile(dir / "old.xls", Old);
    fs::create_directories(dir / "elsewhere");
    WriteEntries(dir / "elsewhere" / "bm.xls", {});
    const auto before = ReadBytes(data);
    const struct {
        std::string reference;
        const char* says;
    } refusals[] = {
        {"bm.xls", "パスが同じです 異なるファイルを指定してください  処理を中止します"},
        {(dir / "elsewhere" / "bm.xls").string(), "パスは違いますが、ファイル名が同じです"},
        {(dir / "old.xls").string(), "マージ用の読み込みファイルが旧バージョンです"},
        {(dir / "none.xls").string(), "none.xls"},
        {"", "ファイルパスを指定してください"},
    };
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.reference);
        // Run in the data file's folder, where "bm.xls" names it.
        CliOutcome run = RunCli(dir / "home", {"merge", "--data", data.string(), r.reference});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(LineCount(run.err), 1) << run.err;
        EXPECT_NE(run.err.find(r.says), std::string::npos) << run.err;
        EXPECT_EQ(ReadBytes(data), before);
    }

    CliOutcome run = RunOn(data, {"merge", reference.string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "1\n");
    EXPECT_EQ(run.err, "マージ完了\n");
    EXPECT_EQ(RunOn(data, {"search", "--url", "http://b.jp/"}).out.find("[00004]:新\n"), 0U);
    EXPECT_EQ(RunOn(data, {"merge", reference.string()}).out, "0\n");
}

} // namespace
} // namespace tomorine::test
