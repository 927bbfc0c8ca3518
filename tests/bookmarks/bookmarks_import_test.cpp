// The mapping of a bookmark to an entry, the import into a data file (rows
// read back by xlrd) and the Netscape file written for a browser.
#include "bookmarks/bookmark_mapping.h"
#include "bookmarks/bookmarks_import.h"
#include "bookmarks/netscape_reader.h"
#include "bookmarks/netscape_writer.h"
#include "store/data_connection.h"
#include "store/data_workbook.h"
#include "store/entry_statements.h"
#include "store/table/connection.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"

#include <gtest/gtest.h>

using namespace tomorine;
using namespace tomorine::test;
using nlohmann::json;

namespace {

void WriteDataFile(const std::filesystem::path& path, const std::vector<Entry>& entries) {
    Connection connection(path, NewDataWorkbook());
    for (const Entry& e : entries) {
        connection.execute(BuildInsertStatement(e.serial, e));
    }
    WriteXlsFile(connection.workbook(), path);
}

// Column → text of each entry row xlrd reads (0-based rows 2 on).
std::vector<std::map<int, std::string>> RowsByXlrd(const std::filesystem::path& file) {
    json values = XlrdValues(file);
    std::map<int, std::map<int, std::string>> rows;
    for (const json& cell : values["sheets"][0]["cells"]) {
        if (cell[0].get<int>() >= 2 && cell[2] == "text") {
            rows[cell[0].get<int>()][cell[1].get<int>()] = cell[3].get<std::string>();
        }
    }
    std::vector<std::map<int, std::string>> out;
    for (auto& [row, cells] : rows) {
        out.push_back(cells);
    }
    return out;
}

struct SchemeCase {
    std::string url;
    bool taken;
};

TEST(BookmarkMapping, OnlyWebAndFileUrlsAreTaken) {
    for (const SchemeCase& c : std::vector<SchemeCase>{{"http://a/", true},
                                                       {"HTTPS://a/", true},
                                                       {"ftp://a/", true},
                                                       {"file:///home/a", true},
                                                       {"javascript:alert(1)", false},
                                                       {"place:sort=8", false},
                                                       {"data:text/html,x", false},
                                                       {"", false},
                                                       {"about:blank", false},
                                                       {"/relative/http://a", false}}) {
        EXPECT_EQ(IsImportableUrl(c.url), c.taken) << c.url;
    }
}

TEST(BookmarkMapping, FieldsTagsAndCuts) {
    bool cut = false;
    std::optional<Entry> entry = EntryOfBookmark(
        BrowserBookmark{"https://a.example/", "", {"東京", "new york", ""}, "説明", "外/内"}, cut);
    ASSERT_TRUE(entry);
    EXPECT_EQ(ToUtf8(entry->title), "https://a.example/");
    EXPECT_EQ(ToUtf8(entry->keywords), "東京 new\u3000york");
    EXPECT_EQ(ToUtf8(entry->comment), "説明");
    EXPECT_EQ(ToUtf8(entry->subtitle), "外/内");
    EXPECT_FALSE(cut);

    // 499 units and an emoji: the pair is never split, so the emoji goes whole.
    std::string title(499, 'x');
    title += "\xF0\x9F\x98\x80";
    entry = EntryOfBookmark(BrowserBookmark{"http://a/", title, {}, "", ""}, cut);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->title.size(), 499u);
    EXPECT_TRUE(cut);

    cut = false;
    EXPECT_FALSE(EntryOfBookmark(BrowserBookmark{"http://a/" + std::string(2000, 'x')}, cut));
    // The longest URL that fits; as the title it is cut.
    entry = EntryOfBookmark(BrowserBookmark{"http://a/" + std::string(1991, 'x')}, cut);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->url.size(), 2000u);
    EXPECT_EQ(entry->title.size(), 500u);
    EXPECT_TRUE(cut);
}

class BookmarksImport : public ::testing::Test {
protected:
    BookmarksImport() { store_.DataFilePath = dir_ / "トモリネ.xls"; }

    BookmarksImportOutcome run(const std::vector<BrowserBookmark>& bookmarks,
                               ImportOptions options = {}) {
        BookmarksImportUi ui;
        ui.processEvents = [this] {
            if (++events_ == stopAfter_) {
                stop_ = true;
            }
        };
        return RunBookmarksImport(store_, bookmarks, ui, stop_, options);
    }

    TempDir dir_;
    StoreState store_;
    bool stop_ = false;
    int events_ = 0;
    int stopAfter_ = -1;
};

TEST_F(BookmarksImport, AddsNewUrlsOnceAndCountsTheRest) {
    WriteDataFile(store_.DataFilePath, {Entry{1, u"https://stored.example/", u"既存"}});
    const std::vector<BrowserBookmark> bookmarks{
        {"https://new.example/", "新しい", {"タグ", "two words"}, "メモ", "旅行/京都"},
        {"https://stored.example/", "again"},
        {"javascript:void(0)", "js"},
        {"https://new.example/", "twice in the source"},
        {"http://untitled.example/", ""},
    };
    const BookmarksImportOutcome outcome = run(bookmarks);
    EXPECT_EQ(outcome.failure, "");
    EXPECT_EQ(outcome.counts.found, 5);
    EXPECT_EQ(outcome.counts.registered, 2);
    EXPECT_EQ(outcome.counts.existing, 2);
    EXPECT_EQ(outcome.counts.skipped, 1);
    const auto rows = RowsByXlrd(store_.DataFilePath);
    ASSERT_EQ(rows.size(), 3u);
    // Columns: URL 1, title 17, subtitle 21, comment 25, keywords 41.
    EXPECT_EQ(rows[1], (std::map<int, std::string>{{1, "https://new.example/"},
                                                   {17, "新しい"},
                                                   {21, "旅行/京都"},
                                                   {25, "メモ"},
                                                   {41, "タグ two\u3000words"}}));
    EXPECT_EQ(rows[2], (std::map<int, std::string>{{1, "http://untitled.example/"},
                                                   {17, "http://untitled.example/"}}));
    const auto before = ReadBytes(store_.DataFilePath);
    EXPECT_EQ(run(bookmarks).counts.existing, 4);
    EXPECT_EQ(ReadBytes(store_.DataFilePath), before); // nothing new: not even saved
}

TEST_F(BookmarksImport, NothingImportableLeavesAMissingFileAlone) {
    const BookmarksImportOutcome outcome = run({{"place:x", "a"}, {"", "b"}});
    EXPECT_EQ(outcome.counts.skipped, 2);
    EXPECT_EQ(outcome.failure, "");
    EXPECT_FALSE(std::filesystem::exists(store_.DataFilePath));
}

TEST_F(BookmarksImport, AStopKeepsWhatIsSavedAndCounted) {
    WriteDataFile(store_.DataFilePath, {});
    std::vector<BrowserBookmark> bookmarks;
    for (int i = 0; i < 10; ++i) {
        bookmarks.push_back({"https://e.example/" + std::to_string(i), "t"});
    }
    stopAfter_ = 3;
    const BookmarksImportOutcome outcome = run(bookmarks);
    EXPECT_TRUE(outcome.stopped);
    EXPECT_EQ(outcome.counts.registered, 3);
    EXPECT_EQ(RowsByXlrd(store_.DataFilePath).size(), 3u);
}

TEST_F(BookmarksImport, AFailedSaveLeavesTheCountsOfTheLastSave) {
    WriteDataFile(store_.DataFilePath, {});
    std::vector<BrowserBookmark> bookmarks;
    for (int i = 0; i < 5; ++i) {
        bookmarks.push_back({"https://e.example/" + std::to_string(i), "t"});
    }
    ImportOptions options;
    options.saveInterval = std::chrono::milliseconds(0);
    int saves = 0;
    options.save = [&](const Workbook& book, const std::filesystem::path& path) {
        if (++saves == 3) {
            throw WorkbookError(ErrorNumber::DiskFull, "ディスクがいっぱいです");
        }
        WriteXlsFile(book, path);
    };
    const BookmarksImportOutcome outcome = run(bookmarks, options);
    EXPECT_NE(outcome.failure.find("ディスク"), std::string::npos);
    EXPECT_EQ(outcome.counts.registered, 2);
    EXPECT_EQ(RowsByXlrd(store_.DataFilePath).size(), 2u);
}

TEST(NetscapeWriter, EscapesEveryTextAndReadsBack) {
    TempDir dir;
    const std::vector<Entry> entries{
        Entry{1, u"https://a.example/?x=1&y=\"2\"", u"<東京> & \"大阪\"", u"",
              u"京都 a,b 奈良\u3000寺", u"一行目\n<二行目>"},
        Entry{2, u"http://b.example/", u"題", u"", u"", u""},
    };
    WriteNetscapeBookmarks(entries, dir / "out.html");
    const auto bytes = ReadBytes(dir / "out.html");
    const std::string html(bytes.begin(), bytes.end());
    EXPECT_TRUE(html.starts_with("<!DOCTYPE NETSCAPE-Bookmark-file-1>\n")) << html;
    EXPECT_NE(html.find("<A HREF=\"https://a.example/?x=1&amp;y=&quot;2&quot;\" "
                        "TAGS=\"京都,a，b,奈良\u3000寺\">&lt;東京&gt; &amp; &quot;大阪&quot;</A>"),
              std::string::npos)
        << html;
    const std::vector<BrowserBookmark> back = ParseNetscapeBookmarks(html, "out.html");
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].url, "https://a.example/?x=1&y=\"2\"");
    EXPECT_EQ(back[0].title, "<東京> & \"大阪\"");
    EXPECT_EQ(back[0].tags, (std::vector<std::string>{"京都", "a，b", "奈良\u3000寺"}));
    EXPECT_EQ(back[0].description, "一行目\n<二行目>");
    EXPECT_EQ(back[1].tags, std::vector<std::string>{});
}

TEST(NetscapeWriter, AFailedWriteLeavesTheOldFile) {
    TempDir dir;
    std::filesystem::create_directory(dir / "folder.html");
    EXPECT_THROW(WriteNetscapeBookmarks({Entry{1, u"http://a/", u"a"}}, dir / "folder.html"),
                 WorkbookError);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.html"));
}

TEST(SearchedEntries, LiveEntriesMatchingTheFields) {
    TempDir dir;
    WriteDataFile(dir / "d.xls", {Entry{1, u"http://a/", u"京都の寺", u"", u"寺"},
                                  Entry{2, u"http://b/", u"大阪", u"", u""}});
    SearchTexts texts;
    texts.title = u"京都";
    const std::vector<Entry> found = SearchedEntries(dir / "d.xls", texts);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].url, u"http://a/");
    EXPECT_EQ(SearchedEntries(dir / "d.xls", {}).size(), 2u);
}

} // namespace
