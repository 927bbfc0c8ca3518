// Shortcut files of any bytes: their text as read from a file (byte order
// marks, UTF-16, CP932) and its Internet shortcut and desktop link URLs.
#include "browser/shortcut_file.h"
#include "browser/shortcut_text.h"
#include "fuzz_target.h"

#include <sys/mman.h>
#include <unistd.h>

FUZZ_TARGET(data, bytes) {
    static const int fd = memfd_create("fuzz.url", 0);
    std::string text(bytes);
    try {
        if (ftruncate(fd, 0) == 0 &&
            pwrite(fd, data.data(), data.size(), 0) == ssize_t(data.size())) {
            text = tomorine::ReadShortcutText("/proc/self/fd/" + std::to_string(fd));
        }
    } catch (const tomorine::WorkbookError&) {
    }
    (void)tomorine::InternetShortcutUrl(text), (void)tomorine::DesktopLinkUrl(text);
}
