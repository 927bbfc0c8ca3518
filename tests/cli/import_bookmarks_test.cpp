// tomorine-cli import-bookmarks and export-bookmarks run as a program on
// browser files built at run time.
#include "browser_files.h"
#include "store/data_workbook.h"
#include "store/entry_statements.h"
#include "store/table/connection.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;

struct CliRun {
    int status = -1;
    std::string out, err;
};

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string ReadText(const fs::path& path) {
    const auto bytes = ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

// The built tomorine-cli with TOMORINE_HOME and HOME in `dir`.
CliRun RunCli(const fs::path& dir, const std::vector<std::string>& args) {
    std::string command = "cd " + Quoted(dir.string()) +
                          " && TOMORINE_HOME=" + Quoted((dir / "home").string()) +
                          " HOME=" + Quoted((dir / "user").string()) + " " + Quoted(TOMORINE_CLI);
    for (const std::string& arg : args) {
        command += " " + Quoted(arg);
    }
    command +=
        " </dev/null >" + Quoted((dir / "out").string()) + " 2>" + Quoted((dir / "err").string());
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(dir / "out"),
            ReadText(dir / "err")};
}

void WriteDataFile(const fs::path& path, const std::vector<Entry>& entries) {
    Connection connection(path, NewDataWorkbook());
    for (const Entry& e : entries) {
        connection.execute(BuildInsertStatement(e.serial, e));
    }
    WriteXlsFile(connection.workbook(), path);
}

class BookmarksCli : public ::testing::Test {
protected:
    BookmarksCli() {
        data_ = dir_ / "d.xls";
        WriteDataFile(data_, {Entry{1, u"https://stored.example/", u"既存", u"", u"寺"}});
    }
    TempDir dir_;
    fs::path data_;
};

TEST_F(BookmarksCli, ImportsTheDefaultFirefoxProfile) {
    const fs::path firefox = dir_ / "user" / ".mozilla" / "firefox";
    fs::create_directories(firefox / "abc.default-esr");
    WriteText(firefox / "profiles.ini",
              "[Profile0]\nName=default-esr\nIsRelative=1\nPath=abc.default-esr\nDefault=1\n");
    {
        PlacesFile places(firefox / "abc.default-esr" / "places.sqlite");
        places.bookmark(PlacesFile::kMenu, "https://stored.example/", "again");
        places.bookmark(PlacesFile::kMenu, "https://new.example/", "新しい");
        places.bookmark(PlacesFile::kMenu, "place:sort=8", "最近");
        places.tag("https://new.example/", "タグ");
    }
    CliRun run = RunCli(dir_.path(), {"import-bookmarks", "--data", data_, "--firefox", "--json"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "{\"found\":3,\"registered\":1,\"existing\":1,\"skipped\":1,\"cut\":0}\n");
    run = RunCli(dir_.path(), {"show", "--data", data_, "2"});
    EXPECT_NE(run.out.find("キーワード: タグ"), std::string::npos) << run.out;
}

TEST_F(BookmarksCli, ABrokenSourceLeavesTheDataFileAsItWas) {
    const std::string json =
        ChromiumBookmarksJson(R"([{"type":"url","name":"a","url":"https://a.example/"}])", "[]");
    fs::create_directories(dir_ / "Default");
    WriteText(dir_ / "Default" / "Bookmarks", json.substr(0, json.size() - 10));
    WriteText(dir_ / "page.html", "<html><body>no list</body></html>");
    const auto before = ReadBytes(data_);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--chromium", (dir_ / "Default").string()},
          std::vector<std::string>{(dir_ / "page.html").string()},
          std::vector<std::string>{(dir_ / "missing.html").string()},
          std::vector<std::string>{"--firefox", (dir_ / "Default").string()}}) {
        SCOPED_TRACE(args.back());
        std::vector<std::string> call{"import-bookmarks", "--data", data_};
        call.insert(call.end(), args.begin(), args.end());
        CliRun run = RunCli(dir_.path(), call);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_EQ(ReadBytes(data_), before);
    }
}

TEST_F(BookmarksCli, WrongCommandLines) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                                 {"--firefox", "--chromium"},
                                                 {"a.html", "b.html"},
                                                 {"--json"}}) {
        std::vector<std::string> call{"import-bookmarks"};
        call.insert(call.end(), args.begin(), args.end());
        CliRun run = RunCli(dir_.path(), call);
        EXPECT_EQ(run.status, 2) << run.err;
    }
}

TEST_F(BookmarksCli, ExportsTheEntriesOfTheSearchAndReadsThemBack) {
    WriteDataFile(data_, {Entry{1, u"https://a.example/", u"京都 & 奈良", u"", u"寺 山", u"メモ"},
                          Entry{2, u"https://b.example/", u"大阪"}});
    CliRun run =
        RunCli(dir_.path(), {"export-bookmarks", "--data", data_, "out.html", "--title", "京都"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "1件 出力しました\n");
    const std::string html = ReadText(dir_ / "out.html");
    EXPECT_NE(html.find("<DT><A HREF=\"https://a.example/\" TAGS=\"寺,山\">京都 &amp; 奈良</A>\n"
                        "    <DD>メモ\n"),
              std::string::npos)
        << html;
    EXPECT_EQ(html.find("b.example"), std::string::npos);

    run = RunCli(dir_.path(), {"export-bookmarks", "--data", data_, "none.html", "--title", "x"});
    EXPECT_EQ(run.status, 0);
    EXPECT_FALSE(fs::exists(dir_ / "none.html"));

    // The file goes back in: everything is already registered.
    run = RunCli(dir_.path(), {"import-bookmarks", "--data", data_, "out.html", "--json"});
    EXPECT_EQ(run.out, "{\"found\":1,\"registered\":0,\"existing\":1,\"skipped\":0,\"cut\":0}\n");
}

} // namespace
} // namespace tomorine::test
