#pragma once

#include <csignal>
#include <sys/resource.h>

namespace tomorine::test {

// While alive, files may grow only to 64 KiB; writing past it fails with EFBIG
// instead of killing the process, as on a full disk.
struct SmallDisk {
    SmallDisk() {
        getrlimit(RLIMIT_FSIZE, &saved);
        previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved;
        lowered.rlim_cur = 64 * 1024;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~SmallDisk() {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    rlimit saved{};
    void (*previous)(int) = nullptr;
};

} // namespace tomorine::test
