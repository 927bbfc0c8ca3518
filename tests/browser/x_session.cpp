#include "x_session.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tomorine::test {

Child::Child(const std::vector<std::string>& argv, const std::vector<std::string>& env,
             int keepFd) {
    pid_ = fork();
    if (pid_ == 0) {
        setpgid(0, 0);
        for (const std::string& setting : env) {
            putenv(const_cast<char*>(setting.c_str()));
        }
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1), dup2(null, 2);
        close_range(3, ~0U, CLOSE_RANGE_CLOEXEC); // the exec closes all but keepFd
        fcntl(keepFd, F_SETFD, 0);
        std::vector<char*> args;
        for (const std::string& arg : argv) {
            args.push_back(const_cast<char*>(arg.c_str()));
        }
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
}

Child::~Child() {
    if (pid_ <= 0) {
        return;
    }
    kill(-pid_, SIGTERM);
    for (int i = 0; i < 50 && waitpid(pid_, nullptr, WNOHANG) != pid_; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    kill(-pid_, SIGKILL); // what the group left behind
    waitpid(pid_, nullptr, 0);
}

XvfbSession::XvfbSession() {
    int fds[2];
    if (pipe(fds) != 0) {
        return;
    }
    xvfb = std::make_unique<Child>(std::vector<std::string>{"Xvfb", "-displayfd",
                                                            std::to_string(fds[1]), "-screen", "0",
                                                            "1280x1024x24", "-nolisten", "tcp"},
                                   std::vector<std::string>{}, fds[1]);
    close(fds[1]);
    std::string number;
    for (char c; read(fds[0], &c, 1) == 1 && c != '\n';) {
        number += c;
    }
    if (!number.empty()) {
        name = ":" + number;
        openbox = std::make_unique<Child>(std::vector<std::string>{"openbox"},
                                          std::vector<std::string>{"DISPLAY=" + name});
    }
    close(fds[0]);
}

} // namespace tomorine::test
