// tomorine-cli's commands that read or write what browsers keep, with HOME
// in a temporary folder.
#include "browser_files.h"
#include "cli_process.h"
#include "local_http_server.h"
#include "support/data_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;

class BrowserCli : public ::testing::Test {
protected:
    BrowserCli() {
        fs::create_directories(dir_ / "user");
        WriteEntries(data_, {{1, u"https://stored.example/", u"既存", u"", u"寺", u""}});
    }
    // COMMAND --data FILE ARGS; capture takes no data file.
    CliOutcome run(Args args) const {
        if (args[0] != "capture") {
            args.insert(args.begin() + 1, {"--data", data_.string()});
        }
        CliLaunch launch(std::move(args), dir_ / "home");
        launch.user = dir_ / "user";
        return RunCliProcess(launch);
    }

    TempDir dir_;
    fs::path data_ = dir_ / "d.xls";
};

TEST_F(BrowserCli, ImportBookmarksTakesTheDefaultFirefoxProfileOrLeavesTheFileAsItWas) {
    const fs::path firefox = dir_ / "user" / ".mozilla" / "firefox";
    fs::create_directories(firefox / "abc.default-esr");
    WriteText(firefox / "profiles.ini",
              "[Profile0]\nName=default-esr\nIsRelative=1\nPath=abc.default-esr\nDefault=1\n");
    WriteText(dir_ / "page.html", "<html><body>no list</body></html>");
    const auto before = ReadBytes(data_);
    CliOutcome broken = run({"import-bookmarks", (dir_ / "page.html").string()});
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(LineCount(broken.err), 1) << broken.err;
    EXPECT_EQ(ReadBytes(data_), before);
    {
        PlacesFile places(firefox / "abc.default-esr" / "places.sqlite");
        places.bookmark(PlacesFile::kMenu, "https://stored.example/", "again");
        places.bookmark(PlacesFile::kMenu, "https://new.example/", "新しい");
        places.bookmark(PlacesFile::kMenu, "place:sort=8", "最近");
        places.tag("https://new.example/", "タグ");
    }
    CliOutcome imported = run({"import-bookmarks", "--firefox", "--json"});
    EXPECT_EQ(imported.out, "{\"found\":3,\"registered\":1,\"existing\":1,\"skipped\":1,\"cut\":0,"
                            "\"unreadable\":0,\"replaced\":0}\n")
        << imported.err;
    EXPECT_NE(run({"show", "2"}).out.find("キーワード: タグ"), std::string::npos);
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
    EXPECT_EQ(run({"capture", server.url("/p")}).out,
              "URL: " + server.url("/p") + "\nタイトル: ページ\nキーワード: A B\n");
}

} // namespace
} // namespace tomorine::test
