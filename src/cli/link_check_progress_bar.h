#pragma once

#include "linkcheck/link_check.h"

#include <chrono>
#include <iosfwd>
#include <string>

namespace tomorine::cli {

// "[########------------]  412/1000  リンク切れ 7  23.5 件/秒": how far the
// check is, `width` characters of bar.
std::string ProgressLine(const LinkCheckProgress& progress, std::chrono::duration<double> elapsed,
                         int width = 30);

// The check's progress on a terminal, redrawn in place at most ten times a
// second; nothing at all when `enabled` is false (standard error is no
// terminal).
class LinkCheckProgressBar {
public:
    LinkCheckProgressBar(std::ostream& err, bool enabled);
    ~LinkCheckProgressBar() { close(); }

    void update(const LinkCheckProgress& progress);
    // Ends the line, once.
    void close();

private:
    std::ostream& err_;
    bool enabled_;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point last_{};
};

} // namespace tomorine::cli
