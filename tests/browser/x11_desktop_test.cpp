// The X11 desktop as the watch reads it, on an Xvfb server where the test
// itself plays the window manager's part: it names the active window on the
// root window.
#include "browser/foreground_watch.h"
#include "x_session.h"

#include <cstring>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

namespace tomorine::test {
namespace {

class X11DesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!OnPath("Xvfb")) {
            GTEST_SKIP() << "Xvfb is not installed";
        }
        session = std::make_unique<XvfbSession>(false);
        ASSERT_FALSE(session->name().empty());
        connection = xcb_connect(session->name().c_str(), nullptr);
        ASSERT_EQ(xcb_connection_has_error(connection), 0);
        root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    }
    void TearDown() override {
        if (connection) {
            xcb_disconnect(connection);
        }
    }

    xcb_atom_t atom(const char* name) {
        auto* reply = xcb_intern_atom_reply(
            connection,
            xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr);
        const xcb_atom_t value = reply->atom;
        free(reply);
        return value;
    }

    void set(xcb_window_t window, xcb_atom_t property, xcb_atom_t type, std::uint8_t format,
             const void* data, std::uint32_t length) {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, property, type, format,
                            length, data);
    }

    xcb_window_t makeWindow() {
        const xcb_window_t window = xcb_generate_id(connection);
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, root, 0, 0, 10, 10, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        return window;
    }

    void activate(xcb_window_t window) {
        set(root, atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 32, &window, 1);
        sync();
    }

    // Requests of two connections are not ordered: a round trip makes sure
    // the server has done ours before the desktop asks.
    void sync() {
        free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }

    std::unique_ptr<XvfbSession> session;
    xcb_connection_t* connection = nullptr;
    xcb_window_t root = 0;
};

TEST_F(X11DesktopTest, readsTheActiveWindowsTitleClassAndProcess) {
    auto desktop = OpenX11Desktop(session->name().c_str());
    ASSERT_NE(desktop, nullptr);
    EXPECT_EQ(desktop->ActiveWindow().id, 0u); // no window manager has named one
    activate(XCB_WINDOW_NONE);
    EXPECT_EQ(desktop->ActiveWindow().id, 0u);

    const xcb_window_t browser = makeWindow();
    const std::string title = "日本語の頁 — Mozilla Firefox";
    set(browser, atom("_NET_WM_NAME"), atom("UTF8_STRING"), 8, title.data(),
        static_cast<std::uint32_t>(title.size()));
    set(browser, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, "Navigator\0firefox-esr\0", 22);
    const std::uint32_t pid = 4242;
    set(browser, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, &pid, 1);
    activate(browser);
    ForeignWindow window = desktop->ActiveWindow();
    EXPECT_EQ(window.id, browser);
    EXPECT_EQ(window.title, title);
    EXPECT_EQ(window.instanceName, "Navigator");
    EXPECT_EQ(window.className, "firefox-esr");
    EXPECT_EQ(window.pid, 4242u);

    // An old client: WM_NAME only, no class, no process.
    const xcb_window_t old = makeWindow();
    set(old, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, "xterm", 5);
    activate(old);
    window = desktop->ActiveWindow();
    EXPECT_EQ(window.title, "xterm");
    EXPECT_EQ(window.className, "");
    EXPECT_EQ(window.pid, 0u);

    // A window gone while named active is a window without a name.
    xcb_destroy_window(connection, old);
    sync();
    EXPECT_EQ(desktop->ActiveWindow().title, "");
}

} // namespace
} // namespace tomorine::test
