#pragma once
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#ifndef __has_feature
#define __has_feature(x) 0
#endif

namespace tomorine::test {

// What `body` returns, run in a child given `megabytes` more address space
// than the test has and `seconds` of CPU (no limit under a sanitizer, whose
// shadow memory it would refuse); else the signal that ended the child.
inline std::string Bounded(const std::function<std::string()>& body, long megabytes = 400,
                           rlim_t seconds = 20) {
    int out[2];
    if (pipe(out) == 0 && fork() == 0) {
#if !defined(__SANITIZE_ADDRESS__) && !__has_feature(address_sanitizer)
        long pages = 0;
        FILE* statm = fopen("/proc/self/statm", "r");
        (void)!fscanf(statm, "%ld", &pages);
        const rlimit memory{rlim_t(pages * sysconf(_SC_PAGESIZE) + (megabytes << 20)),
                            RLIM_INFINITY};
        const rlimit cpu{seconds, seconds};
        setrlimit(RLIMIT_AS, &memory), setrlimit(RLIMIT_CPU, &cpu);
#endif
        const std::string result = body();
        _exit(write(out[1], result.data(), result.size()) < 0);
    }
    close(out[1]);
    std::string result;
    char buffer[4096];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) {
        result.append(buffer, static_cast<size_t>(n));
    }
    close(out[0]);
    int status = 0;
    wait(&status);
    return WIFSIGNALED(status) ? "signal " + std::to_string(WTERMSIG(status)) : result;
}

} // namespace tomorine::test
