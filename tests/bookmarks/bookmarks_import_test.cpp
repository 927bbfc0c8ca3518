// The mapping of a bookmark to an entry, the import into a data file (rows
// read back by xlrd) and the Netscape file written for a browser.
#include "bookmarks/bookmark_mapping.h"
#include "bookmarks/bookmarks_import.h"
#include "bookmarks/netscape_reader.h"
#include "bookmarks/netscape_writer.h"
#include "import_fixture.h"
#include "store/data_connection.h"
#include "support/data_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace tomorine;
using namespace tomorine::test;

namespace {

BrowserBookmark Bookmark(std::string url, std::string title = "",
                         std::vector<std::string> tags = {}, std::string description = "",
                         std::string folder = "") {
    return {std::move(url), std::move(title), std::move(tags), std::move(description),
            std::move(folder)};
}

TEST(BookmarkMapping, OnlyWebAndFileUrlsAreTaken) {
    for (const char* url : {"http://a/", "HTTPS://a/", "ftp://a/", "file:///home/a"}) {
        EXPECT_TRUE(IsImportableUrl(url)) << url;
    }
    for (const char* url : {"javascript:alert(1)", "place:sort=8", "data:text/html,x", "",
                            "about:blank", "/relative/http://a"}) {
        EXPECT_FALSE(IsImportableUrl(url)) << url;
    }
}

// A title is cut before an emoji, never inside it; a URL too long for its
// columns is not taken at all, as a cut one would be another address.
TEST(BookmarkMapping, CutsWholeCharactersButNeverAUrl) {
    bool cut = false;
    std::optional<Entry> entry =
        EntryOfBookmark(Bookmark("http://a/", std::string(499, 'x') + "\xF0\x9F\x98\x80"), cut);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->title.size(), 499u);
    EXPECT_TRUE(cut);
    cut = false;
    EXPECT_FALSE(EntryOfBookmark(Bookmark("http://a/" + std::string(1992, 'x')), cut));
    entry = EntryOfBookmark(Bookmark("http://a/" + std::string(1991, 'x')), cut);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->url.size(), 2000u);
    EXPECT_EQ(entry->title.size(), 500u); // the URL as the title
    EXPECT_TRUE(cut);
}

const Entry kStored{1, u"https://stored.example/", u"既存", u"", u"", u""};

std::vector<BrowserBookmark> Numbered(int count) {
    std::vector<BrowserBookmark> bookmarks;
    for (int i = 0; i < count; ++i) {
        bookmarks.push_back(Bookmark("https://e.example/" + std::to_string(i), "t"));
    }
    return bookmarks;
}

class BookmarksImport : public ::testing::Test {
protected:
    BookmarksImport() {
        store_.DataFilePath = dir_ / "トモリネ.xls";
        WriteEntries(store_.DataFilePath, {kStored});
    }

    BookmarksImportOutcome run(const std::vector<BrowserBookmark>& bookmarks,
                               const ImportOptions& options = {}) {
        BookmarksImportUi ui{[](int) {}, [this] { stop_ = ++events_ == stopAfter_; }};
        return RunBookmarksImport(store_, bookmarks, ui, stop_, options);
    }

    TempDir dir_;
    StoreState store_;
    bool stop_ = false;
    int events_ = 0;
    int stopAfter_ = -1;
};

TEST_F(BookmarksImport, AddsNewUrlsOnceAndCountsTheRest) {
    const std::vector<BrowserBookmark> bookmarks{
        Bookmark("https://new.example/", "新しい", {"タグ", "two words", ""}, "メモ", "旅行/京都"),
        Bookmark("https://stored.example/", "again"), Bookmark("javascript:void(0)", "js"),
        Bookmark("https://new.example/", "twice in the source"),
        Bookmark("http://untitled.example/")};
    const BookmarksImportOutcome outcome = run(bookmarks);
    EXPECT_EQ(outcome.failure, "");
    const BookmarksImportCounts& n = outcome.counts;
    EXPECT_EQ(std::tuple(n.found, n.registered, n.existing, n.skipped), std::tuple(5, 2, 2, 1));
    EXPECT_EQ(
        EntryRowsByXlrd(store_.DataFilePath),
        RowsOf(
            {kStored,
             {2, u"https://new.example/", u"新しい", u"旅行/京都", u"タグ two\u3000words", u"メモ"},
             {3, u"http://untitled.example/", u"http://untitled.example/", u"", u"", u""}}));
    const auto before = ReadBytes(store_.DataFilePath);
    EXPECT_EQ(run(bookmarks).counts.existing, 4);
    EXPECT_EQ(ReadBytes(store_.DataFilePath), before); // nothing new: not even saved
}

TEST_F(BookmarksImport, NothingImportableLeavesAMissingFileAlone) {
    std::filesystem::remove(store_.DataFilePath);
    const BookmarksImportOutcome outcome = run({Bookmark("place:x", "a"), Bookmark("", "b")});
    EXPECT_EQ(outcome.counts.skipped, 2);
    EXPECT_EQ(outcome.failure, "");
    EXPECT_FALSE(std::filesystem::exists(store_.DataFilePath));
}

TEST_F(BookmarksImport, AStopKeepsWhatIsSavedAndCounted) {
    stopAfter_ = 3;
    const BookmarksImportOutcome outcome = run(Numbered(10));
    EXPECT_TRUE(outcome.stopped);
    EXPECT_EQ(outcome.counts.registered, 3);
    EXPECT_EQ(EntryRowsByXlrd(store_.DataFilePath).size(), 4u);
}

TEST_F(BookmarksImport, AFailedSaveLeavesTheCountsOfTheLastSave) {
    const BookmarksImportOutcome outcome = run(Numbered(5), SaveFailingAt(3));
    EXPECT_EQ(outcome.failure, "ディスクがいっぱいです");
    EXPECT_EQ(outcome.counts.registered, 2);
    EXPECT_EQ(EntryRowsByXlrd(store_.DataFilePath).size(), 3u);
}

TEST(NetscapeWriter, EscapesEveryTextAndReadsBack) {
    TempDir dir;
    WriteNetscapeBookmarks({{1, u"https://a.example/?x=1&y=\"2\"", u"<東京> & \"大阪\"", u"",
                             u"京都 a,b 奈良\u3000寺", u"一行目\n<二行目>"},
                            {2, u"http://b.example/", u"題", u"", u"", u""}},
                           dir / "out.html");
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
    EXPECT_THROW(WriteNetscapeBookmarks({kStored}, dir / "folder.html"), WorkbookError);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.html"));
}

TEST(SearchedEntries, LiveEntriesMatchingTheFields) {
    TempDir dir;
    WriteEntries(dir / "d.xls",
                 {{1, u"http://a/", u"京都の寺", u"", u"寺", u""},
                  {2, u"http://b/", u"大阪", u"", u"", u""},
                  {3, u"http://c/", u"京都の庭", u"", u"", u""}},
                 {3});
    SearchTexts texts;
    texts.title = u"京都";
    const std::vector<Entry> found = SearchedEntries(dir / "d.xls", texts);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].url, u"http://a/");
    EXPECT_EQ(SearchedEntries(dir / "d.xls", {}).size(), 2u);
}

} // namespace
