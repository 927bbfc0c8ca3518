#include "cli_process.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tomorine::test {

namespace fs = std::filesystem;

static void Redirect(const fs::path& path, int target, int flags) {
    const int fd = ::open(path.c_str(), flags, 0600);
    if (fd < 0 || ::dup2(fd, target) < 0) {
        ::_exit(127);
    }
    ::close(fd);
}

CliProcess::CliProcess(const CliLaunch& launch) {
    WriteBytes(io_ / "in", {launch.input.begin(), launch.input.end()});
    std::vector<char*> pointers{const_cast<char*>(TOMORINE_CLI)}; // execv leaves them as they are
    for (const std::string& arg : launch.args) {
        pointers.push_back(const_cast<char*>(arg.c_str()));
    }
    pointers.push_back(nullptr);
    const std::string home = launch.home.string(), user = launch.user.string(),
                      libraries = launch.libraries.string();
    const std::string folder = launch.home.parent_path().string();
    pid_ = ::fork();
    if (pid_ == 0) {
        Redirect(io_ / "in", 0, O_RDONLY);
        Redirect(io_ / "out", 1, O_WRONLY | O_CREAT | O_TRUNC);
        Redirect(io_ / "err", 2, O_WRONLY | O_CREAT | O_TRUNC);
        const rlim_t bytes = static_cast<rlim_t>(launch.fileSizeLimit);
        const rlimit limit{bytes, bytes};
        if (::chdir(folder.c_str()) == 0 && ::setenv("TOMORINE_HOME", home.c_str(), 1) == 0 &&
            (user.empty() ||
             (::setenv("HOME", user.c_str(), 1) == 0 && ::unsetenv("XDG_CONFIG_HOME") == 0)) &&
            (libraries.empty() || ::setenv("LD_LIBRARY_PATH", libraries.c_str(), 1) == 0) &&
            (launch.fileSizeLimit < 0 || ::setrlimit(RLIMIT_FSIZE, &limit) == 0) &&
            (!launch.offline || ::unshare(CLONE_NEWNET) == 0)) {
            ::execv(pointers[0], pointers.data());
        }
        ::_exit(127);
    }
}

CliProcess::~CliProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        wait();
    }
}

CliOutcome CliProcess::wait() {
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), ReadText(io_ / "out"),
            ReadText(io_ / "err")};
}

CliOutcome RunOn(const fs::path& data, Args args, const std::string& input, const fs::path& user) {
    args.insert(args.begin() + 1, {"--data", data.string()});
    return RunCliProcess({std::move(args), data.parent_path() / "home", -1, input, user});
}

} // namespace tomorine::test
