// tomorine-cli's commands that read or write what browsers keep, HOME in a temporary folder.
#include "browser_files.h"
#include "cli_process.h"
#include "local_http_server.h"
#include "support/entry_rows.h"
#include "support/hostile_files.h"
#include "support/temp_dir.h"

#include <csignal>
#include <gtest/gtest.h>
#include <thread>

namespace tomorine::test {

namespace fs = std::filesystem;

class BrowserCli : public ::testing::Test {
protected:
    BrowserCli() {
        fs::create_directories(dir_ / "user");
        WriteEntries(data_, {{1, u"https://stored.example/", u"既存", u"", u"寺", u""}});
    }
    CliOutcome run(const Args& args) const { return RunOn(data_, args, {}, dir_ / "user"); }

    TempDir dir_;
    fs::path data_ = dir_ / "d.xls";
};

TEST_F(BrowserCli, ImportBookmarksTakesTheDefaultFirefoxProfile) {
    {
        PlacesFile places(DefaultFirefoxProfile(dir_ / "user", "abc.default-esr") /
                          "places.sqlite");
        places.bookmark(PlacesFile::kMenu, "https://stored.example/", "again");
        places.bookmark(PlacesFile::kMenu, "https://new.example/", "新しい");
    }
    CliOutcome imported = run({"import-bookmarks", "--firefox", "--json"});
    EXPECT_EQ(imported.out, "{\"found\":2,\"registered\":1,\"existing\":1,\"skipped\":0,\"cut\":0,"
                            "\"unreadable\":0,\"replaced\":0}\n")
        << imported.err;
}

// A history over 1 GiB is not copied; ended by SIGTERM while it reads a
// large one, the import leaves no copy of it; one a killed process left is
// swept at the next start.
TEST_F(BrowserCli, ImportBookmarksEndedLeavesNoHistoryCopy) {
    const fs::path runtime = dir_ / "run", places = dir_ / "places.sqlite";
    // Above the largest pid Linux gives: no such process.
    const fs::path left = runtime / "tomorine-history-99999999-abcdef";
    fs::create_directories(left);
    PlacesFile(places).exec(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
        "INSERT INTO moz_places (url, title) SELECT 'https://e.example/' || i, 't' FROM n;"
        "INSERT INTO moz_bookmarks (type, fk, parent, position, title) "
        "SELECT 1, id, 2, id, 'b' || id FROM moz_places;");
    MakeHostile(Hostile::Huge, dir_ / "huge.sqlite", (1ull << 30) + 1);
    const CliOutcome huge = run({"import-bookmarks", "--firefox", (dir_ / "huge.sqlite").string()});
    EXPECT_NE(huge.err.find("1 GB を超えている"), std::string::npos) << huge.err;
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    CliProcess process(
        {{"import-bookmarks", "--data", data_.string(), "--firefox", places.string()},
         dir_ / "home"});
    ::unsetenv("XDG_RUNTIME_DIR");
    for (int wait = 0; wait < 10000 && (fs::exists(left) || fs::is_empty(runtime)); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_FALSE(fs::is_empty(runtime)) << "no copy was made; the test proves nothing";
    process.signal(SIGTERM);
    EXPECT_EQ(process.wait().status, 128 + SIGTERM);
    EXPECT_TRUE(fs::is_empty(runtime));
}

TEST_F(BrowserCli, ExportBookmarksWritesTheHitsOfTheSearchThatImportReadsBack) {
    WriteEntries(data_, {{1, u"https://a.example/", u"京都 & 奈良", u"", u"寺 山", u"メモ"},
                         {2, u"https://b.example/", u"大阪", u"", u"", u""}});
    CliOutcome exported = run({"export-bookmarks", "out.html", "--title", "京都"});
    EXPECT_EQ(exported.out, "1件 出力しました\n") << exported.err;
    EXPECT_EQ(run({"import-bookmarks", "out.html", "--json"}).out,
              "{\"found\":1,\"registered\":0,\"existing\":1,\"skipped\":0,\"cut\":0,\"unreadable\":"
              "0,\"replaced\":0}\n");
}

TEST_F(BrowserCli, CapturePrintsTheTitleAndKeywordsOfTheGivenPage) {
    LocalHttpServer server;
    server.serve("/p", {"text/html; charset=EUC-JP",
                        "<title>\xA5\xDA\xA1\xBC\xA5\xB8</title>" // ページ
                        "<meta content=a,b name=keywords>"});
    const std::string url = server.url("/p");
    EXPECT_EQ(run({"capture", url}).out, "URL: " + url + "\nタイトル: ページ\nキーワード: A B\n");
    const std::string json =
        "{\"url\": \"" + url + "\", \"title\": \"ページ\", \"keywords\": \"A B\", \"stored\": ";
    const std::u16string stored(url.begin(), url.end());
    WriteEntries(data_, {{4, stored, u"古い題", u"", u"", u""},
                         {5, u"http://x.example/", u"ページ", u"", u"", u""},
                         {6, stored, u"", u"", u"", u""}});
    EXPECT_EQ(run({"capture", url, "--json"}).out, json + "[4, 6]}\n");
    fs::remove(data_);
    EXPECT_EQ(run({"capture", url, "--json"}).out, json + "[]}\n");
}

} // namespace tomorine::test
