#pragma once

#include <csignal>

namespace tomorine::cli {

// While it exists, Ctrl-C (SIGINT) does not end the program but raises a
// flag that long work polls, so that it can stop cleanly. The previous
// handler comes back when it goes. One at a time.
class InterruptFlag {
public:
    InterruptFlag();
    ~InterruptFlag();
    InterruptFlag(const InterruptFlag&) = delete;
    InterruptFlag& operator=(const InterruptFlag&) = delete;

    bool raised() const;

private:
    bool installed_ = false;
    struct sigaction previous_ {};
};

} // namespace tomorine::cli
