// The Chromium reader on any bytes: bookmarks, all valid UTF-8, or a WorkbookError.
#include "bookmarks/chromium_bookmarks.h"
#include "bookmarks/lenient_json.h"
#include "store/workbook/workbook_error.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    try {
        for (const auto& b :
             tomorine::ParseChromiumBookmarks({(const char*)data, size}, "f").bookmarks) {
            int replaced = 0;
            if (tomorine::MendedJson(b.title + b.url + b.folder.path(), replaced)) {
                std::abort();
            }
        }
    } catch (const tomorine::WorkbookError&) {
    }
    return 0;
}
