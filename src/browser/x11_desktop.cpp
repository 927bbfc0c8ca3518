#include "browser/foreground_watch.h"

#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace tomorine {

namespace {

struct FreeDeleter {
    void operator()(void* p) const noexcept { std::free(p); }
};
template <typename T>
using Freed = std::unique_ptr<T, FreeDeleter>;

class X11Desktop : public Desktop {
public:
    explicit X11Desktop(xcb_connection_t* connection)
        : connection_(connection),
          root_(xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root),
          activeWindow_(Atom("_NET_ACTIVE_WINDOW")), wmName_(Atom("_NET_WM_NAME")),
          utf8_(Atom("UTF8_STRING")), wmPid_(Atom("_NET_WM_PID")) {}
    ~X11Desktop() override { xcb_disconnect(connection_); }

    ForeignWindow ActiveWindow() override {
        ForeignWindow window;
        const std::string active = Property(root_, activeWindow_, XCB_ATOM_WINDOW);
        if (active.size() < 4) {
            return window;
        }
        std::memcpy(&window.id, active.data(), 4);
        if (window.id == 0) {
            return window;
        }
        window.title = Property(window.id, wmName_, utf8_);
        if (window.title.empty()) {
            window.title = Property(window.id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING);
        }
        const std::string pid = Property(window.id, wmPid_, XCB_ATOM_CARDINAL);
        if (pid.size() >= 4) {
            std::memcpy(&window.pid, pid.data(), 4);
        }
        // WM_CLASS: instance and class, each ended by a NUL.
        const std::string wmClass = Property(window.id, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING);
        const std::size_t nul = wmClass.find('\0');
        window.instanceName = wmClass.substr(0, nul);
        if (nul != std::string::npos) {
            window.className = wmClass.substr(nul + 1);
            if (const auto end = window.className.find('\0'); end != std::string::npos) {
                window.className.resize(end);
            }
        }
        return window;
    }

private:
    xcb_atom_t Atom(const char* name) {
        Freed<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
            connection_,
            xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr));
        return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    }

    // The property's bytes; "" when the window is gone or lacks it.
    std::string Property(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) {
        if (property == XCB_ATOM_NONE) {
            return {};
        }
        Freed<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            connection_, xcb_get_property(connection_, 0, window, property, type, 0, 4096),
            nullptr));
        if (!reply || reply->type == XCB_ATOM_NONE) {
            return {};
        }
        const int length = xcb_get_property_value_length(reply.get());
        const char* value = static_cast<const char*>(xcb_get_property_value(reply.get()));
        return length > 0 ? std::string(value, static_cast<std::size_t>(length)) : std::string();
    }

    xcb_connection_t* connection_;
    xcb_window_t root_ = 0;
    xcb_atom_t activeWindow_ = XCB_ATOM_NONE;
    xcb_atom_t wmName_ = XCB_ATOM_NONE;
    xcb_atom_t utf8_ = XCB_ATOM_NONE;
    xcb_atom_t wmPid_ = XCB_ATOM_NONE;
};

} // namespace

std::unique_ptr<Desktop> OpenX11Desktop(const char* display) {
    xcb_connection_t* connection = xcb_connect(display, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return nullptr;
    }
    return std::make_unique<X11Desktop>(connection);
}

} // namespace tomorine
