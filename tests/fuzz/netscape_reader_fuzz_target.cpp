// The Netscape reader on any bytes: bookmarks or a WorkbookError, in linear time.
#include "bookmarks/netscape_reader.h"
#include "fuzz_target.h"

FUZZ_TARGET(data, bytes) {
    for (const auto& b : tomorine::ParseNetscapeBookmarks(bytes, "f").bookmarks) {
        (void)b.folder.path();
    }
}
