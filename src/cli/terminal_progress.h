#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

namespace tomorine::cli {

// "[########------------]": `done` of `total` in `width` characters.
std::string ProgressBar(std::size_t done, std::size_t total, int width);

// A line of progress on standard error, redrawn in place, then ended with a
// line break once; nothing at all when `enabled` is false (standard error
// is no terminal).
class TerminalProgress {
public:
    explicit TerminalProgress(std::ostream& err, bool enabled = true);
    ~TerminalProgress() { close(); }
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    void draw(std::string_view line);
    void close();
    bool drawn() const { return drawn_; }

private:
    std::ostream& err_;
    bool enabled_;
    bool drawn_ = false;
    std::size_t width_ = 0; // of the line drawn last
};

} // namespace tomorine::cli
