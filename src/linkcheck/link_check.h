#pragma once

#include "linkcheck/link_check_options.h"
#include "linkcheck/ordered_verdicts.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace tomorine {

struct LinkCheckProgress {
    std::size_t total = 0;
    std::size_t decided = 0;     // in any order
    std::size_t dead = 0;        // of those decided, listed
    std::size_t unreachable = 0; // of those listed
    std::size_t answers = 0;     // HTTP answers received, redirects included
    std::size_t oldestOpen = 0;  // the first row not decided yet; total when all are
    bool finished = false;       // no request runs any more: all decided, or stopped
    std::string error;           // why the check ended early by itself, when it did
};

// No URL got any HTTP answer and at least one failed by transport: the
// failures say more about this machine's network than about the pages.
inline bool NetworkDown(const LinkCheckProgress& progress) {
    return progress.answers == 0 && progress.unreachable > 0;
}

// Checks a list of URLs (UTF-8, one a row) by HTTP GET on a thread of its
// own, concurrently within the limits of the options, and hands the
// verdicts on in row order. A URL that fails by transport is tried once
// more after the pass over all rows; the second try decides. The calling
// thread is never blocked by a request: it takes what is decided when it
// likes (takeReleased, progress), or waits for it (waitForChange).
class LinkCheck {
public:
    LinkCheck(std::vector<std::string> urls, LinkCheckOptions options = {});
    // Stops the check (see stop).
    ~LinkCheck();
    LinkCheck(const LinkCheck&) = delete;
    LinkCheck& operator=(const LinkCheck&) = delete;

    // Abandons the requests in flight and the rows not yet started; returns
    // once the check's thread has ended, which takes no longer than tearing
    // down its connections. Rows not decided by then stay undecided.
    void stop();

    // The verdicts not handed on yet whose earlier rows are all decided.
    std::vector<RowVerdict> takeReleased();
    LinkCheckProgress progress() const;
    // Returns when a verdict arrives or the check finishes, or after `timeout`.
    void waitForChange(std::chrono::milliseconds timeout);

private:
    class Worker;
    std::unique_ptr<Worker> worker_;
};

} // namespace tomorine
