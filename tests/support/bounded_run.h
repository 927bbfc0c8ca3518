#pragma once
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#ifndef __has_feature
#define __has_feature(x) 0
#endif

namespace tomorine::test {

// Runs `body`, which checks with EXPECT_*, in a child given `megabytes` more address space than the
// test has and `seconds` of CPU (no limit under a sanitizer, whose shadow memory it would refuse).
// The child's failures, exceptions and death fail the test.
inline void ExpectWithinBounds(const std::function<void()>& body, long megabytes = 400,
                               rlim_t seconds = 20) {
    const pid_t child = fork();
    if (child == 0) {
#if !defined(__SANITIZE_ADDRESS__) && !__has_feature(address_sanitizer)
        long pages = 0;
        FILE* statm = fopen("/proc/self/statm", "r");
        (void)!fscanf(statm, "%ld", &pages);
        const rlimit memory{rlim_t(pages * sysconf(_SC_PAGESIZE) + (megabytes << 20)),
                            RLIM_INFINITY};
        const rlimit cpu{seconds, seconds};
        setrlimit(RLIMIT_AS, &memory), setrlimit(RLIMIT_CPU, &cpu);
#endif
        body();
        fflush(stdout);
        _exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
}

} // namespace tomorine::test
