#pragma once

#include "support/temp_dir.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

// tomorine-cli as a process of its own, for tests that signal it, limit it or must not hang.
namespace tomorine::test {

using Args = std::vector<std::string>;

struct CliOutcome {
    int status = -1; // 128 + signal when killed
    std::string out, err;
};

struct CliLaunch {
    Args args;
    std::filesystem::path home;           // TOMORINE_HOME; the process runs in its parent
    long fileSizeLimit = -1;              // RLIMIT_FSIZE in bytes when not -1
    std::string input = {};               // standard input
    std::filesystem::path user = {};      // HOME, with no XDG_CONFIG_HOME, when not empty
    bool offline = false;                 // in a network namespace of its own, as unshare -n
    std::filesystem::path libraries = {}; // LD_LIBRARY_PATH when not empty
};

class CliProcess {
public:
    explicit CliProcess(const CliLaunch& launch);
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    void signal(int number) const { ::kill(pid_, number); }
    std::string errorsSoFar() const { return ReadText(io_ / "err"); }
    CliOutcome wait();

private:
    TempDir io_; // standard input, output and error
    pid_t pid_ = -1;
};

inline CliOutcome RunCliProcess(const CliLaunch& launch) {
    return CliProcess(launch).wait();
}

// COMMAND --data FILE ARGS (args[0] is the command), TOMORINE_HOME beside FILE;
// `user` as in CliLaunch.
CliOutcome RunOn(const std::filesystem::path& data, Args args, const std::string& input = {},
                 const std::filesystem::path& user = {});

inline int LineCount(const std::string& text) {
    return int(std::ranges::count(text, '\n'));
}

} // namespace tomorine::test
