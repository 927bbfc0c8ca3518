// Shortcut files of any bytes: their text as read from a file (byte order
// marks, UTF-16, CP932) and its Internet shortcut and desktop link URLs.
#include "browser/shortcut_file.h"
#include "browser/shortcut_text.h"
#include "store/workbook/workbook_error.h"

#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    static const int fd = memfd_create("fuzz.url", 0);
    std::string text((const char*)data, size);
    try {
        if (ftruncate(fd, 0) == 0 && pwrite(fd, data, size, 0) == ssize_t(size)) {
            text = tomorine::ReadShortcutText("/proc/self/fd/" + std::to_string(fd));
        }
    } catch (const tomorine::WorkbookError&) {
    }
    (void)tomorine::InternetShortcutUrl(text), (void)tomorine::DesktopLinkUrl(text);
    return 0;
}
