#include "cli/huge_page_heap.h"

#include <cstdlib>
#include <unistd.h>

namespace tomorine::cli {

namespace {
constexpr const char* kTunables = "GLIBC_TUNABLES";
constexpr const char* kRestarted = "TOMORINE_HUGE_PAGE_HEAP";
} // namespace

void RestartWithHugePageHeap(char** argv) {
    if (std::getenv(kRestarted) != nullptr) {
        ::unsetenv(kRestarted);
        ::unsetenv(kTunables);
        return;
    }
    if (std::getenv(kTunables) != nullptr) {
        return;
    }
    ::setenv(kTunables, "glibc.malloc.hugetlb=1", 1);
    ::setenv(kRestarted, "1", 1);
    ::execv("/proc/self/exe", argv);
    // No /proc: on as it is.
    ::unsetenv(kRestarted);
    ::unsetenv(kTunables);
}

} // namespace tomorine::cli
