// The capture against real browsers: Debian's firefox-esr and chromium with
// fresh profiles, on an Xvfb display with a window manager, showing a page
// served from 127.0.0.1. The foreground watch reads the X server, the
// capture reads the profiles the browsers wrote.
#include "browser/browser_window.h"
#include "browser/capture.h"
#include "browser/foreground_watch.h"
#include "local_http_server.h"
#include "support/temp_dir.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

bool OnPath(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// A program in a process group of its own, ended with the group.
class Child {
public:
    Child(const std::vector<std::string>& argv, const std::vector<std::string>& env,
          int keepFd = -1) {
        pid_ = fork();
        if (pid_ == 0) {
            setpgid(0, 0);
            for (const std::string& setting : env) {
                putenv(const_cast<char*>(setting.c_str()));
            }
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            for (int fd = 3; fd < 1024; ++fd) {
                if (fd != keepFd) {
                    close(fd);
                }
            }
            std::vector<char*> args;
            for (const std::string& arg : argv) {
                args.push_back(const_cast<char*>(arg.c_str()));
            }
            args.push_back(nullptr);
            execvp(args[0], args.data());
            _exit(127);
        }
    }
    ~Child() {
        if (pid_ <= 0) {
            return;
        }
        kill(-pid_, SIGTERM);
        for (int i = 0; i < 50; ++i) {
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
                kill(-pid_, SIGKILL); // what the group left behind
                return;
            }
            std::this_thread::sleep_for(100ms);
        }
        kill(-pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

private:
    pid_t pid_ = -1;
};

// Xvfb on a display it picks, with openbox managing its windows.
class Display {
public:
    Display() {
        int fds[2];
        if (pipe(fds) != 0) {
            return;
        }
        xvfb_ = std::make_unique<Child>(
            std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                     "1280x1024x24", "-nolisten", "tcp"},
            std::vector<std::string>{}, fds[1]);
        close(fds[1]);
        std::string number;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n') {
            number += c;
        }
        close(fds[0]);
        if (number.empty()) {
            return;
        }
        name_ = ":" + number;
        openbox_ = std::make_unique<Child>(std::vector<std::string>{"openbox"},
                                           std::vector<std::string>{"DISPLAY=" + name_});
    }
    const std::string& name() const { return name_; }

private:
    std::unique_ptr<Child> xvfb_;
    std::unique_ptr<Child> openbox_;
    std::string name_;
};

std::string ReadText(const fs::path& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

const std::string kTitle = "実ブラウザの頁 テスト";

class RealBrowserTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* program : {"Xvfb", "openbox"}) {
            if (!OnPath(program)) {
                GTEST_SKIP() << program << " is not installed";
            }
        }
        server.serve("/page", {"text/html; charset=utf-8",
                               "<!DOCTYPE html><html><head><meta charset=utf-8><title>" + kTitle +
                                   "</title><meta content=\"news,sports,日本\" name=\"keywords\">"
                                   "</head><body><h1>本文</h1></body></html>"});
        env.home = home.path();
        env.configHome = home / ".config";
    }

    // Waits for the browser's window to become active with the page's title,
    // then captures until the browser has recorded the page (or a minute).
    void expectCaptured(BrowserKind kind, const Display& display) {
        std::unique_ptr<Desktop> desktop;
        for (int i = 0; i < 50 && !desktop; ++i) {
            desktop = OpenX11Desktop(display.name().c_str());
            std::this_thread::sleep_for(100ms);
        }
        ASSERT_NE(desktop, nullptr);
        ForeignWindow last;
        CapturedPage page;
        const auto deadline = std::chrono::steady_clock::now() + 90s;
        while (std::chrono::steady_clock::now() < deadline) {
            WatchForeground(*desktop, nullptr, last);
            if (BrowserOf(last) == kind && PageTitleOf(last.title, kind) == kTitle) {
                page = CaptureFromBrowser(last, env);
                if (!page.url.empty()) {
                    break;
                }
            }
            std::this_thread::sleep_for(500ms);
        }
        EXPECT_EQ(PageTitleOf(last.title, kind), kTitle) << last.title << " / " << last.className;
        EXPECT_EQ(page.url, server.url("/page"));
        EXPECT_EQ(page.title, kTitle);
        EXPECT_EQ(page.keywords, "NEWS SPORTS 日本");
    }

    TempDir home;
    LocalHttpServer server;
    CaptureEnvironment env;
};

TEST_F(RealBrowserTest, firefoxEsr) {
    if (!OnPath("firefox-esr")) {
        GTEST_SKIP() << "firefox-esr is not installed";
    }
    Display display;
    ASSERT_FALSE(display.name().empty());
    const fs::path profile = home / ".mozilla/firefox/test.profile";
    fs::create_directories(profile);
    std::ofstream(home / ".mozilla/firefox/profiles.ini")
        << "[Profile0]\nName=test\nIsRelative=1\nPath=test.profile\nDefault=1\n";
    fs::copy_file(TOMORINE_FIREFOX_USER_JS, profile / "user.js");
    Child firefox({"firefox-esr", "-no-remote", "-profile", profile.string(), server.url("/page")},
                  {"DISPLAY=" + display.name(), "HOME=" + home.path().string(),
                   "MOZ_CRASHREPORTER_DISABLE=1", "XDG_CONFIG_HOME=" + env.configHome.string()});
    expectCaptured(BrowserKind::Firefox, display);
}

TEST_F(RealBrowserTest, chromium) {
    if (!OnPath("chromium")) {
        GTEST_SKIP() << "chromium is not installed";
    }
    Display display;
    ASSERT_FALSE(display.name().empty());
    std::vector<std::string> argv{"chromium"};
    std::istringstream flags(ReadText(TOMORINE_CHROMIUM_FLAGS));
    // One flag a word, but the resolver rules' value holds spaces.
    std::string word;
    while (flags >> word) {
        if (!argv.back().starts_with("--host-resolver-rules") || word.starts_with("--")) {
            argv.push_back(word);
        } else {
            argv.back() += " " + word;
        }
    }
    if (getuid() == 0) {
        argv.push_back("--no-sandbox");
    }
    argv.push_back("--user-data-dir=" + (env.configHome / "chromium").string());
    argv.push_back("--password-store=basic");
    argv.push_back(server.url("/page"));
    Child chromium(argv, {"DISPLAY=" + display.name(), "HOME=" + home.path().string(),
                          "XDG_CONFIG_HOME=" + env.configHome.string()});
    expectCaptured(BrowserKind::Chromium, display);
}

} // namespace
} // namespace tomorine::test
