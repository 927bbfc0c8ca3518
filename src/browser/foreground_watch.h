#pragma once

#include "browser/foreign_window.h"

#include <functional>
#include <memory>

namespace tomorine {

// The desktop as the foreground watch asks it: which window has the user's
// input. Tests give a fake one.
class Desktop {
public:
    virtual ~Desktop() = default;
    // The active top-level window with its title and class; id 0 when there
    // is none or the desktop does not say.
    virtual ForeignWindow ActiveWindow() = 0;
};

// The X11 desktop through xcb (_NET_ACTIVE_WINDOW, _NET_WM_NAME, WM_CLASS,
// _NET_WM_PID); nothing when no X server answers at `display` (nullptr: the
// DISPLAY variable).
std::unique_ptr<Desktop> OpenX11Desktop(const char* display = nullptr);

// One tick of the watch: the active window goes into `last` when there is
// one and it belongs to neither this process nor `isOwnWindow`; otherwise
// `last` keeps what it held.
void WatchForeground(Desktop& desktop, const std::function<bool(std::uint32_t)>& isOwnWindow,
                     ForeignWindow& last);

} // namespace tomorine
