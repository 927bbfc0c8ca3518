// The foreground watch over a fake desktop.
#include "browser/foreground_watch.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace tomorine::test {
namespace {

class FakeDesktop : public Desktop {
public:
    ForeignWindow active;
    ForeignWindow ActiveWindow() override { return active; }
};

TEST(WatchForeground, remembersTheLastWindowOfAnotherProgram) {
    FakeDesktop desktop;
    ForeignWindow last;
    const auto ownIs7 = [](std::uint32_t id) { return id == 7; };
    const std::uint32_t self = static_cast<std::uint32_t>(getpid());
    struct Step {
        ForeignWindow active;
        std::uint32_t expected;
    };
    const Step steps[] = {
        {{0, 0, "", "", ""}, 0}, // nothing at start
        {{5, 99, "a — Mozilla Firefox", "Navigator", "firefox"}, 5},
        {{7, 0, "トモリネ", "", ""}, 5}, // the main window itself
        {{0, 0, "", "", ""}, 5},         // no active window
        {{9, self, "Form2", "", ""}, 5}, // another window of this program
        {{6, 98, "b - Chromium", "chromium", "Chromium"}, 6},
    };
    for (const Step& step : steps) {
        desktop.active = step.active;
        WatchForeground(desktop, ownIs7, last);
        EXPECT_EQ(last.id, step.expected) << step.active.title;
    }
    EXPECT_EQ(last.title, "b - Chromium");
    EXPECT_EQ(last.className, "Chromium");
}

TEST(OpenX11Desktop, isNothingWithoutAnXServer) {
    EXPECT_EQ(OpenX11Desktop("unix:/nonexistent/socket:0"), nullptr);
}

} // namespace
} // namespace tomorine::test
