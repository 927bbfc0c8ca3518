#include "cli/link_check_progress_bar.h"

#include <cstdio>
#include <ostream>

namespace tomorine::cli {

std::string ProgressLine(const LinkCheckProgress& progress, std::chrono::duration<double> elapsed,
                         int width) {
    const std::size_t total = progress.total;
    const int filled =
        total == 0 ? width
                   : static_cast<int>(progress.decided * static_cast<std::size_t>(width) / total);
    std::string line = "[" + std::string(filled, '#') + std::string(width - filled, '-') + "]";
    char numbers[96];
    const double seconds = elapsed.count();
    const double rate = seconds > 0 ? static_cast<double>(progress.decided) / seconds : 0.0;
    std::snprintf(numbers, sizeof numbers, " %zu/%zu  リンク切れ %zu  %.1f 件/秒", progress.decided,
                  total, progress.dead, rate);
    return line + numbers;
}

LinkCheckProgressBar::LinkCheckProgressBar(std::ostream& err, bool enabled)
    : err_(err), enabled_(enabled) {}

void LinkCheckProgressBar::update(const LinkCheckProgress& progress) {
    if (!enabled_) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (drawn_ && !progress.finished && now - last_ < std::chrono::milliseconds(100)) {
        return;
    }
    last_ = now;
    // Clear to the end of the line: the new text may be shorter.
    err_ << '\r' << ProgressLine(progress, now - start_) << "\x1b[K" << std::flush;
    drawn_ = true;
}

void LinkCheckProgressBar::close() {
    if (drawn_) {
        err_ << '\n' << std::flush;
        drawn_ = false;
    }
}

} // namespace tomorine::cli
