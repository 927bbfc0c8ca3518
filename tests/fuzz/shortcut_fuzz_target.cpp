// Shortcut files under arbitrary bytes: the text as read from a file (BOM,
// UTF-16, CP932 guesses) and the URL of an Internet shortcut and of a
// desktop link, never a crash.
#include "browser/shortcut_file.h"
#include "browser/shortcut_text.h"
#include "store/workbook/workbook_error.h"

#include <cstdint>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tomorine;
    static const int fd = memfd_create("fuzz.url", 0);
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) {
        return 0;
    }
    std::string text;
    try {
        text = ReadShortcutText("/proc/self/fd/" + std::to_string(fd));
    } catch (const WorkbookError&) {
        text.assign(reinterpret_cast<const char*>(data), size);
    }
    (void)InternetShortcutUrl(text);
    (void)DesktopLinkUrl(text);
    return 0;
}
