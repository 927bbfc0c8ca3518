// The mapping of a bookmark to an entry, the import into a data file (rows read back by xlrd).
#include "bookmarks/bookmark_mapping.h"
#include "bookmarks/bookmarks_import.h"
#include "import_fixture.h"
#include "store/data_connection.h"
#include "store/entry_registration.h"
#include "support/entry_rows.h"
#include "support/temp_dir.h"

#include <future>
#include <gtest/gtest.h>

using namespace tomorine;
using namespace tomorine::test;

namespace {

BrowserBookmark Bookmark(std::string url, std::string title = "",
                         std::vector<std::string> tags = {}, std::string description = "",
                         std::string folder = "") {
    return {std::move(url), std::move(title), std::move(tags), std::move(description),
            folder.empty() ? BookmarkFolder() : BookmarkFolder({}, std::move(folder))};
}

// A URL too long for its columns is not taken, as a cut one would be another
// address; the longest that fits is taken and, as the title, cut.
TEST(BookmarkMapping, AUrlIsNeverCut) {
    bool cut = false;
    EXPECT_FALSE(EntryOfBookmark(Bookmark("http://a/" + std::string(1992, 'x')), cut));
    const auto entry = EntryOfBookmark(Bookmark("http://a/" + std::string(1991, 'x')), cut);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->url.size(), 2000u);
    EXPECT_EQ(entry->title.size(), 500u);
    EXPECT_TRUE(cut);
}

const Entry kStored{1, u"https://stored.example/", u"既存", u"", u"", u""};

class BookmarksImport : public ::testing::Test {
protected:
    BookmarksImport() {
        store_.dataFilePath = dir_ / "トモリネ.xls";
        WriteEntries(store_.dataFilePath, {kStored});
    }

    // `pump` runs where the window would handle its events.
    BookmarksImportOutcome run(
        const std::vector<BrowserBookmark>& bookmarks, const ImportOptions& options = {},
        std::function<void()> pump = [] {}) {
        BookmarksImportUi ui{[](int) {}, std::move(pump)};
        bool stop = false;
        return RunBookmarksImport(store_, {bookmarks}, ui, stop, options);
    }

    TempDir dir_;
    StoreState store_;
};

TEST_F(BookmarksImport, AddsNewUrlsOnceAndCountsTheRest) {
    const std::vector<BrowserBookmark> bookmarks{
        Bookmark("https://new.example/", "新しい", {"タグ", "two words", ""}, "メモ", "旅行/京都"),
        Bookmark("https://stored.example/", "again"), Bookmark("javascript:void(0)", "js"),
        Bookmark("https://new.example/", "twice in the source"),
        Bookmark("http://untitled.example/")};
    const BookmarksImportOutcome outcome = run(bookmarks);
    EXPECT_FALSE(outcome.failure);
    const BookmarksImportCounts& n = outcome.counts;
    EXPECT_EQ(std::tuple(n.found, n.registered, n.existing, n.skipped), std::tuple(5, 2, 2, 1));
    EXPECT_TRUE(StoresAsAdded(
        store_.dataFilePath,
        {kStored,
         {2, u"https://new.example/", u"新しい", u"旅行/京都", u"タグ two\u00A0words", u"メモ"},
         {3, u"http://untitled.example/", u"http://untitled.example/", u"", u"", u""}}));
    const auto before = ReadBytes(store_.dataFilePath);
    EXPECT_EQ(run(bookmarks).counts.existing, 4);
    EXPECT_EQ(ReadBytes(store_.dataFilePath), before); // nothing new: not even saved
}

// Another writer's add while the import runs lands at once; the import's
// save then builds on it, its entry of the same URL counted as existing.
TEST_F(BookmarksImport, AnAddDuringTheImportLandsAndSoDoItsEntries) {
    const Entry added{2, u"http://b/", u"他", u"", u"", u""};
    int adds = 0; // a refused add comes back through the import as its failure
    ImportOptions onlyAtTheEnd;
    onlyAtTheEnd.now = [] { return std::chrono::steady_clock::time_point{}; };
    const BookmarksImportOutcome outcome =
        run({Bookmark("http://a/", "a"), Bookmark("http://b/", "b"),
             Bookmark("http://c/", "c ", {"タグ"}, "メモ", "旅")},
            onlyAtTheEnd, [&] {
                if (adds++ == 0) {
                    std::async(std::launch::async, RegisterEntry, store_.dataFilePath, added).get();
                }
            });
    EXPECT_GT(adds, 0);
    EXPECT_FALSE(outcome.failure);
    EXPECT_EQ(std::pair(outcome.counts.registered, outcome.counts.existing), std::pair(2, 1));
    EXPECT_TRUE(
        StoresAsAdded(store_.dataFilePath, {kStored,
                                            added,
                                            {3, u"http://a/", u"a", u"", u"", u""},
                                            {4, u"http://c/", u"c ", u"旅", u"タグ", u"メモ"}}));
}

} // namespace
