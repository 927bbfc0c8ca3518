// The mapping of a bookmark to an entry, the import into a data file (rows
// read back by xlrd).
#include "bookmarks/bookmark_mapping.h"
#include "bookmarks/bookmarks_import.h"
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

// A URL too long for its columns is not taken, as a cut one would be another
// address; the longest that fits is taken and, as the title, cut.
TEST(BookmarkMapping, AUrlIsNeverCut) {
    bool cut = false;
    EXPECT_FALSE(EntryOfBookmark(Bookmark("http://a/" + std::string(1992, 'x')), cut));
    const std::optional<Entry> entry =
        EntryOfBookmark(Bookmark("http://a/" + std::string(1991, 'x')), cut);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->url.size(), 2000u);
    EXPECT_EQ(entry->title.size(), 500u);
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

} // namespace
