#pragma once

#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

namespace tomorine::test {

// While it lives, the process may map at most `budget` bytes more than now,
// so a reader that allocates what a hostile file claims fails the test, not
// the machine. Off under sanitizers, which reserve terabytes.
class MemoryCap {
public:
    explicit MemoryCap(rlim_t budget) {
        unsigned long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        rlimit lowered{};
        if (!kSanitized && ::getrlimit(RLIMIT_AS, &saved_) == 0) {
            lowered = saved_;
            lowered.rlim_cur = pages * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + budget;
            active_ = ::setrlimit(RLIMIT_AS, &lowered) == 0;
        }
    }
    ~MemoryCap() {
        if (active_) {
            ::setrlimit(RLIMIT_AS, &saved_);
        }
    }
    MemoryCap(const MemoryCap&) = delete;
    MemoryCap& operator=(const MemoryCap&) = delete;

private:
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    static constexpr bool kSanitized = true;
#else
    static constexpr bool kSanitized = false;
#endif
    rlimit saved_{};
    bool active_ = false;
};

} // namespace tomorine::test
