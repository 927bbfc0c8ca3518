// The Firefox bookmark tree under arbitrary rows, built in memory: each
// 8-byte record gives an id, a type, a parent and a guid choice from a small
// range, so that cycles, self-parents and deep chains are met; the rest of
// the input gives titles.
#include "bookmarks/firefox_bookmarks.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tomorine;
    static const char* const kGuids[] = {"", "root________", "tags________", "menu________",
                                         "abcdefghijkl"};
    std::vector<PlacesItem> items;
    size_t i = 0;
    for (; i + 8 <= size && items.size() < 4096; i += 8) {
        const std::uint8_t* r = data + i;
        items.push_back(PlacesItem{r[0] | (r[1] << 8), r[2] % 4, r[3] | (r[4] << 8),
                                   std::string(1, static_cast<char>(r[5])),
                                   "http://a/" + std::to_string(r[6] % 8), kGuids[r[7] % 5]});
    }
    std::stable_sort(items.begin(), items.end(),
                     [](const PlacesItem& a, const PlacesItem& b) { return a.parent < b.parent; });
    const BrowserBookmarks read = BookmarksOfPlaces(items);
    if (read.bookmarks.size() + static_cast<size_t>(read.unreadable) > items.size()) {
        std::abort(); // every item is met at most once
    }
    for (const BrowserBookmark& bookmark : read.bookmarks) {
        (void)bookmark.folder.path();
    }
    return 0;
}
