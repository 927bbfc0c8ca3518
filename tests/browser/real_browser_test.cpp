// Debian's chromium with a fresh profile under Xvfb and openbox showing a
// page served from 127.0.0.1, which the X11 desktop, the watch and the
// capture read (firefox-esr: test_form1_capture_x11).
#include "browser/browser_window.h"
#include "browser/capture.h"
#include "browser/foreground_watch.h"
#include "local_http_server.h"
#include "support/temp_dir.h"
#include "x_session.h"

#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

namespace tomorine::test {

using namespace std::chrono_literals;

const std::string kTitle = "実ブラウザの頁 テスト";

TEST(RealBrowserTest, chromium) {
    for (const char* program : {"Xvfb", "openbox", "chromium"}) {
        if (!OnPath(program)) {
            GTEST_SKIP() << program << " is not installed";
        }
    }
    TempDir home;
    LocalHttpServer server;
    XvfbSession display;
    ASSERT_FALSE(display.name.empty());
    server.serve("/page", {"text/html; charset=utf-8",
                           "<!DOCTYPE html><html><head><meta charset=utf-8><title>" + kTitle +
                               "</title><meta content=\"news,sports,日本\" name=\"keywords\">"
                               "</head><body><h1>本文</h1></body></html>"});
    CaptureEnvironment env;
    env.home = home.path();
    env.configHome = home / ".config";
    std::vector<std::string> argv{"chromium"};
    std::string flags;
    std::getline(std::ifstream(TOMORINE_CHROMIUM_FLAGS), flags);
    // One flag a word, but the resolver rules' value holds spaces.
    for (std::size_t at = 0, end; at < flags.size(); at = end + 1) {
        end = std::min(flags.find(" --", at), flags.size());
        argv.push_back(flags.substr(at, end - at));
    }
    argv.insert(argv.end(), {getuid() == 0 ? "--no-sandbox" : "--no-first-run", // root: no sandbox
                             "--user-data-dir=" + (env.configHome / "chromium").string(),
                             "--password-store=basic", server.url("/page")});
    const std::vector<std::string> chromiumEnv{"DISPLAY=" + display.name,
                                               "HOME=" + home.path().string(),
                                               "XDG_CONFIG_HOME=" + env.configHome.string()};
    Child chromium(argv, chromiumEnv);

    // Captures once the browser's window is active with the page's title and
    // the browser has recorded the page.
    std::unique_ptr<Desktop> desktop;
    for (int i = 0; i < 50 && !desktop; ++i) {
        desktop = OpenX11Desktop(display.name.c_str());
        std::this_thread::sleep_for(100ms);
    }
    ASSERT_NE(desktop, nullptr);
    constexpr BrowserKind kind = BrowserKind::Chromium;
    ForeignWindow last;
    CapturedPage page;
    const auto deadline = std::chrono::steady_clock::now() + 90s;
    while (page.url.empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(500ms);
        WatchForeground(*desktop, nullptr, last);
        if (BrowserOf(last) == kind && PageTitleOf(last.title, kind) == kTitle) {
            page = CaptureFromBrowser(last, env);
        }
    }
    EXPECT_EQ(PageTitleOf(last.title, kind), kTitle) << last.title << " / " << last.className;
    EXPECT_EQ(std::tie(page.url, page.title, page.keywords),
              std::tuple(server.url("/page"), kTitle, "NEWS SPORTS 日本"));

    // A page loaded a second before the capture is in neither History nor
    // the session file yet; the session file has it within the wait.
    const std::string next = "一秒前の頁";
    server.serve("/next", {"text/html; charset=utf-8", "<title>" + next + "</title>"});
    argv.back() = server.url("/next");
    Child opener(argv, chromiumEnv);
    while (PageTitleOf(last.title, kind) != next && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(100ms);
        WatchForeground(*desktop, nullptr, last);
    }
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(CaptureFromBrowser(last, env).url, server.url("/next")) << last.title;
}

} // namespace tomorine::test
