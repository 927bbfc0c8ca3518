#pragma once

#include <cstdint>
#include <string>

namespace tomorine {

// A top-level window of the desktop as the foreground watch saw it. An id of
// 0 is no window (none was seen, or the desktop cannot tell).
struct ForeignWindow {
    std::uint32_t id = 0;
    std::uint32_t pid = 0;    // the owning process, 0 when the window does not say
    std::string title;        // UTF-8
    std::string instanceName; // the two parts of WM_CLASS
    std::string className;
};

} // namespace tomorine
