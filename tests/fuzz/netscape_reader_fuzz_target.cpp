// The Netscape reader on any bytes: bookmarks or a WorkbookError, in linear time.
#include "bookmarks/netscape_reader.h"
#include "store/workbook/workbook_error.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    try {
        for (const auto& b :
             tomorine::ParseNetscapeBookmarks({(const char*)data, size}, "f").bookmarks) {
            (void)b.folder.path();
        }
    } catch (const tomorine::WorkbookError&) {
    }
    return 0;
}
