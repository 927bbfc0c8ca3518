#include "cli/terminal_progress.h"

#include <ostream>

namespace tomorine::cli {

std::string ProgressBar(std::size_t done, std::size_t total, int width) {
    const int filled =
        total == 0 ? width : static_cast<int>(done * static_cast<std::size_t>(width) / total);
    return "[" + std::string(filled, '#') + std::string(width - filled, '-') + "]";
}

TerminalProgress::TerminalProgress(std::ostream& err, bool enabled)
    : err_(err), enabled_(enabled) {}

void TerminalProgress::draw(std::string_view line) {
    if (!enabled_) {
        return;
    }
    // Blanks over what is left of a longer line before it.
    err_ << '\r' << line << std::string(width_ > line.size() ? width_ - line.size() : 0, ' ')
         << std::flush;
    width_ = line.size();
    drawn_ = true;
}

void TerminalProgress::close() {
    if (drawn_) {
        err_ << '\n' << std::flush;
        drawn_ = false;
        width_ = 0;
    }
}

} // namespace tomorine::cli
