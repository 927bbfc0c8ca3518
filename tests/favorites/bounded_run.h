#pragma once
// Hostile inputs are read in a child process limited in address space and
// CPU time (not under sanitizers, whose shadow memory a limit refuses).
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#ifndef __has_feature
#define __has_feature(x) 0
#endif

namespace tomorine::test {

// What `body` returns when run with `megabytes` more address space than now
// and `seconds` of CPU, else how the child ended.
inline std::string Bounded(const std::function<std::string()>& body, long megabytes = 400,
                           rlim_t seconds = 20) {
    int out[2];
    if (pipe(out) != 0) {
        return "no pipe";
    }
    if (fork() == 0) {
#if !defined(__SANITIZE_ADDRESS__) && !__has_feature(address_sanitizer)
        long pages = 0;
        if (FILE* statm = fopen("/proc/self/statm", "r")) {
            pages = fscanf(statm, "%ld", &pages) == 1 ? pages : 0;
            fclose(statm);
        }
        const rlim_t bytes = static_cast<rlim_t>(pages * sysconf(_SC_PAGESIZE) + (megabytes << 20));
        const rlimit memory{bytes, bytes}, cpu{seconds, seconds};
        setrlimit(RLIMIT_AS, &memory);
        setrlimit(RLIMIT_CPU, &cpu);
#endif
        std::string result;
        try {
            result = body();
        } catch (const std::exception& e) {
            result = std::string("threw ") + e.what();
        }
        (void)!write(out[1], result.data(), result.size());
        _exit(0);
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
