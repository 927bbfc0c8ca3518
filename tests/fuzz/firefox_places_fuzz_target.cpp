// The Firefox tree on rows built in memory, 8 bytes each: id (2), type,
// parent (2), title, URL and guid from small ranges, so that cycles,
// self-parents and deep chains are met. Each item is met at most once.
#include "bookmarks/firefox_bookmarks.h"
#include "fuzz_target.h"

#include <algorithm>

FUZZ_TARGET(data, bytes) {
    using namespace tomorine;
    const char* guids[] = {"", "root________", "tags________", "menu________", "abcdefghijkl"};
    std::vector<PlacesItem> items;
    for (std::size_t at = 0; at + 8 <= data.size() && items.size() < 4096; at += 8) {
        const std::uint8_t* r = &data[at];
        items.push_back({r[0] | r[1] << 8, r[2] % 4, r[3] | r[4] << 8, std::string(1, char(r[5])),
                         "http://a/" + std::to_string(r[6] % 8), guids[r[7] % 5]});
    }
    std::ranges::stable_sort(items, {}, &PlacesItem::parent);
    const BrowserBookmarks read = BookmarksOfPlaces(items);
    std::ranges::for_each(read.bookmarks, [](const auto& b) { (void)b.folder.path(); });
    FUZZ_EXPECT(read.bookmarks.size() + size_t(read.unreadable) <= items.size());
}
