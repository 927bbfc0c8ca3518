// The Chromium bookmark reader under arbitrary bytes: bookmarks or a
// WorkbookError; whatever it keeps is valid UTF-8.
#include "bookmarks/chromium_bookmarks.h"
#include "bookmarks/lenient_json.h"
#include "store/workbook/workbook_error.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tomorine;
    try {
        const BrowserBookmarks read = ParseChromiumBookmarks(
            std::string_view(reinterpret_cast<const char*>(data), size), "Bookmarks");
        for (const BrowserBookmark& bookmark : read.bookmarks) {
            int replaced = 0;
            if (MendedJson(bookmark.title + bookmark.url + bookmark.folder.path(), replaced)) {
                std::abort();
            }
        }
    } catch (const WorkbookError&) {
    }
    return 0;
}
