// The X11 desktop on an Xvfb server where the test plays the window
// manager: it names the active window on the root window.
#include "browser/foreground_watch.h"
#include "x_session.h"

#include <cstring>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

namespace tomorine::test {
namespace {

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
    const auto set = [x](xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                         std::uint8_t format, const void* data, std::uint32_t length) {
        xcb_change_property(x, XCB_PROP_MODE_REPLACE, window, property, type, format, length, data);
    };
    // Names the active window; the round trip makes sure the server has done
    // it before the desktop asks.
    const auto activate = [&](xcb_window_t window) {
        set(root, atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 32, &window, 1);
        free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));
    };

    auto desktop = OpenX11Desktop(session.name().c_str());
    ASSERT_NE(desktop, nullptr);
    EXPECT_EQ(desktop->ActiveWindow().id, 0u); // no window manager has named one
    activate(XCB_WINDOW_NONE);
    EXPECT_EQ(desktop->ActiveWindow().id, 0u);

    const xcb_window_t browser = xcb_generate_id(x);
    xcb_create_window(x, XCB_COPY_FROM_PARENT, browser, root, 0, 0, 10, 10, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    const std::string title = "日本語の頁 — Mozilla Firefox";
    set(browser, atom("_NET_WM_NAME"), atom("UTF8_STRING"), 8, title.data(),
        static_cast<std::uint32_t>(title.size()));
    set(browser, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, "Navigator\0firefox-esr\0", 22);
    const std::uint32_t pid = 4242; // how the watch knows this program's own windows
    set(browser, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, &pid, 1);
    activate(browser);
    const ForeignWindow window = desktop->ActiveWindow();
    EXPECT_EQ(window.id, browser);
    EXPECT_EQ(window.title, title);
    EXPECT_EQ(window.instanceName, "Navigator");
    EXPECT_EQ(window.className, "firefox-esr");
    EXPECT_EQ(window.pid, 4242u);

    // A window gone while named active is a window without a name.
    xcb_destroy_window(x, browser);
    activate(browser);
    EXPECT_EQ(desktop->ActiveWindow().title, "");
    xcb_disconnect(x);
}

} // namespace
} // namespace tomorine::test
