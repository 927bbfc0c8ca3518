// The X11 desktop on an Xvfb server, and Debian's firefox-esr and chromium
// with fresh profiles under Xvfb and openbox showing a page served from
// 127.0.0.1, which the watch and the capture read.
#include "browser/browser_window.h"
#include "browser/capture.h"
#include "browser/foreground_watch.h"
#include "local_http_server.h"
#include "support/temp_dir.h"
#include "x_session.h"

#include <chrono>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>
#include <xcb/xcb.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The test plays the window manager: it names the active window on the root window.
TEST(X11Desktop, readsTheActiveWindowsTitleClassAndProcess) {
    if (!OnPath("Xvfb")) {
        GTEST_SKIP() << "Xvfb is not installed";
    }
    XvfbSession session(false);
    ASSERT_FALSE(session.name().empty());
    xcb_connection_t* x = xcb_connect(session.name().c_str(), nullptr);
    ASSERT_EQ(xcb_connection_has_error(x), 0);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const auto atom = [x](const char* name) {
        auto* reply = xcb_intern_atom_reply(
            x, xcb_intern_atom(x, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
        const xcb_atom_t value = reply->atom;
        free(reply);
        return value;
    };
    const auto set = [&](xcb_window_t window, const char* name, const char* type,
                         std::uint8_t format, const void* data, std::size_t length) {
        xcb_change_property(x, XCB_PROP_MODE_REPLACE, window, atom(name), atom(type), format,
                            static_cast<std::uint32_t>(length), data);
        // The round trip makes sure the server has done it before the desktop asks.
        free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));
    };
    auto desktop = OpenX11Desktop(session.name().c_str());
    ASSERT_NE(desktop, nullptr);
    EXPECT_EQ(desktop->ActiveWindow().id, 0u); // no window manager has named one

    const xcb_window_t browser = xcb_generate_id(x);
    xcb_create_window(x, XCB_COPY_FROM_PARENT, browser, root, 0, 0, 10, 10, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    const std::string title = "日本語の頁 — Mozilla Firefox";
    const std::uint32_t pid = 4242; // how the watch knows this program's own windows
    set(browser, "_NET_WM_NAME", "UTF8_STRING", 8, title.data(), title.size());
    set(browser, "WM_CLASS", "STRING", 8, "Navigator\0firefox-esr\0", 22);
    set(browser, "_NET_WM_PID", "CARDINAL", 32, &pid, 1);
    set(root, "_NET_ACTIVE_WINDOW", "WINDOW", 32, &browser, 1);
    const ForeignWindow window = desktop->ActiveWindow();
    EXPECT_EQ(window.id, browser);
    EXPECT_EQ(window.title, title);
    EXPECT_EQ(window.instanceName, "Navigator");
    EXPECT_EQ(window.className, "firefox-esr");
    EXPECT_EQ(window.pid, 4242u);

    // A window gone while named active is a window without a name.
    xcb_destroy_window(x, browser);
    set(root, "_NET_ACTIVE_WINDOW", "WINDOW", 32, &browser, 1);
    EXPECT_EQ(desktop->ActiveWindow().title, "");
    xcb_disconnect(x);
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

    // Captures once the browser's window is active with the page's title and
    // the browser has recorded the page.
    void expectCaptured(BrowserKind kind) {
        ASSERT_FALSE(display.name().empty());
        std::unique_ptr<Desktop> desktop;
        for (int i = 0; i < 50 && !desktop; ++i) {
            desktop = OpenX11Desktop(display.name().c_str());
            std::this_thread::sleep_for(100ms);
        }
        ASSERT_NE(desktop, nullptr);
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
        EXPECT_EQ(page.url, server.url("/page"));
        EXPECT_EQ(page.title, kTitle);
        EXPECT_EQ(page.keywords, "NEWS SPORTS 日本");
    }

    TempDir home;
    LocalHttpServer server;
    CaptureEnvironment env;
    XvfbSession display;
};

TEST_F(RealBrowserTest, firefoxEsr) {
    if (!OnPath("firefox-esr")) {
        GTEST_SKIP() << "firefox-esr is not installed";
    }
    const fs::path profile = home / ".mozilla/firefox/test.profile";
    fs::create_directories(profile);
    std::ofstream(home / ".mozilla/firefox/profiles.ini")
        << "[Profile0]\nName=test\nIsRelative=1\nPath=test.profile\nDefault=1\n";
    fs::copy_file(TOMORINE_FIREFOX_USER_JS, profile / "user.js");
    Child firefox({"firefox-esr", "-no-remote", "-profile", profile.string(), server.url("/page")},
                  {"DISPLAY=" + display.name(), "HOME=" + home.path().string(),
                   "MOZ_CRASHREPORTER_DISABLE=1", "XDG_CONFIG_HOME=" + env.configHome.string()});
    expectCaptured(BrowserKind::Firefox);
}

TEST_F(RealBrowserTest, chromium) {
    if (!OnPath("chromium")) {
        GTEST_SKIP() << "chromium is not installed";
    }
    std::vector<std::string> argv{"chromium"};
    std::ifstream flags(TOMORINE_CHROMIUM_FLAGS);
    // One flag a word, but the resolver rules' value holds spaces.
    for (std::string word; flags >> word;) {
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
    expectCaptured(BrowserKind::Chromium);
}

} // namespace
} // namespace tomorine::test
