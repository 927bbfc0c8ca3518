// The Chromium reader on any bytes: bookmarks, all valid UTF-8, or a WorkbookError.
#include "bookmarks/chromium_bookmarks.h"
#include "bookmarks/lenient_json.h"
#include "fuzz_target.h"

FUZZ_TARGET(data, bytes) {
    for (const auto& b : tomorine::ParseChromiumBookmarks(bytes, "f").bookmarks) {
        int replaced = 0;
        FUZZ_EXPECT(!tomorine::MendedJson(b.title + b.url + b.folder.path(), replaced));
    }
}
