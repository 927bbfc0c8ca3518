#pragma once

#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

namespace tomorine::test {

// While it lives, the process may map at most `budget` bytes more than it
// has now, so a reader that allocates by what a hostile file claims fails
// the test instead of taking the machine. Sanitizers reserve terabytes of
// address space: there the cap is left off.
class MemoryCap {
public:
    explicit MemoryCap(rlim_t budget) {
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
        unsigned long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        active_ = ::getrlimit(RLIMIT_AS, &saved_) == 0;
        rlimit lowered = saved_;
        lowered.rlim_cur = pages * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + budget;
        active_ = active_ && ::setrlimit(RLIMIT_AS, &lowered) == 0;
#else
        (void)budget;
#endif
    }
    ~MemoryCap() {
        if (active_) {
            ::setrlimit(RLIMIT_AS, &saved_);
        }
    }
    MemoryCap(const MemoryCap&) = delete;
    MemoryCap& operator=(const MemoryCap&) = delete;

private:
    rlimit saved_{};
    bool active_ = false;
};

} // namespace tomorine::test
