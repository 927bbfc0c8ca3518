// The Netscape bookmark reader under arbitrary bytes: bookmarks or a
// WorkbookError, in time linear in the input.
#include "bookmarks/netscape_reader.h"
#include "store/workbook/workbook_error.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tomorine;
    try {
        const BrowserBookmarks read = ParseNetscapeBookmarks(
            std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.html");
        for (const BrowserBookmark& bookmark : read.bookmarks) {
            (void)bookmark.folder.path();
        }
    } catch (const WorkbookError&) {
    }
    return 0;
}
