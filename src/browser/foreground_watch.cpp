#include "browser/foreground_watch.h"

#include <unistd.h>

namespace tomorine {

void WatchForeground(Desktop& desktop, const std::function<bool(std::uint32_t)>& isOwnWindow,
                     ForeignWindow& last) {
    ForeignWindow active = desktop.ActiveWindow();
    if (active.id == 0) {
        return;
    }
    if (active.pid != 0 && active.pid == static_cast<std::uint32_t>(getpid())) {
        return;
    }
    if (isOwnWindow && isOwnWindow(active.id)) {
        return;
    }
    last = std::move(active);
}

} // namespace tomorine
