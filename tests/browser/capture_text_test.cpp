// The capture's text rules (keywords META line, page title in a window title, clipboard
// URL) and the foreground watch over a fake desktop.
#include "browser/browser_window.h"
#include "browser/capture.h"
#include "browser/foreground_watch.h"
#include "browser/meta_keywords.h"
#include "browser/page_markup.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace tomorine::test {

// The markup itself is the keywords rule's input, pinned through it below.
TEST(ParsePageMarkup, givesTheTitleAndBearsDeepNesting) {
    EXPECT_EQ(ParsePageMarkup("<html><head>\n<title> 今日の\n  ニュース </title>").title,
              "今日の ニュース");
    std::string deep;
    for (int i = 0; i < 100000; ++i) {
        deep += "<div>";
    }
    EXPECT_NO_THROW(ParsePageMarkup(deep));
}

TEST(KeywordsFromMarkup, readsTheMetaLineThatEveryShapeIsDeliveredAs) {
    using Case = std::pair<std::string, std::optional<std::string>>; // markup, keywords
    const Case lines[] = {
        {"<HTML>\r\n<META CONTENT=\"NEWS, SPORTS\" NAME=KEYWORDS>", "NEWS  SPORTS"},
        // The other order, and the first line (no line feed before it).
        {"<HTML>\r\n<META NAME=KEYWORDS CONTENT=NEWS,SPORTS>", std::nullopt},
        {"<META CONTENT=NEWS NAME=KEYWORDS>", std::nullopt},
        {"<HTML>\r\n<META CONTENT=A NAME=KEYWORDS>\r\n<META CONTENT=B NAME=KEYWORDS>", "A"},
        {"<HTML>\r\n<META CONTENT=\" NAME=KEYWORDS>", ""},
    };
    for (const auto& [markup, keywords] : lines) {
        EXPECT_EQ(KeywordsFromMarkup(markup), keywords) << markup;
    }
    const Case shapes[] = {
        {"<meta name=\"keywords\" content=\"news,sports\">", "NEWS SPORTS"},
        {"<meta name='keywords' content='a b,c'>", "A B C"},
        {"<META NAME=\"KEYWORDS\" CONTENT=\"News\">", "NEWS"},
        {"<meta\n  name=\"keywords\"\n  content=\"a,\r\nb\">", "A   B"},
        {"<meta lang=\"ja\" id=\"k\" name=\"keywords\" content=\"日本,語\" />", "日本 語"},
        {"<meta name=\"description\" content=\"d\"><meta name=\"keywords\" content=\"k\">", "K"},
        {"<meta name=\"keywords\">", std::nullopt},
    };
    for (const auto& [markup, keywords] : shapes) {
        const PageMarkup page = ParsePageMarkup("<html><head>" + markup + "</head></html>");
        EXPECT_EQ(KeywordsFromMarkup(page.markup), keywords) << markup << "\n" << page.markup;
    }
}

TEST(BrowserWindow, knowsTheBrowserAndItsPageTitle) {
    // window class, window title, browser, page title
    const std::tuple<std::string, std::string, BrowserKind, std::string> cases[] = {
        {"firefox", "x — Mozilla Firefox Private Browsing", BrowserKind::Firefox, "x"},
        {"Microsoft-edge", "Page - Microsoft\u200B Edge", BrowserKind::Chromium, "Page"},
        {"XTerm", "vim - Mozilla Firefox", BrowserKind::None, "vim - Mozilla Firefox"},
    };
    for (const auto& [windowClass, windowTitle, kind, pageTitle] : cases) {
        ForeignWindow window{1, 0, windowTitle, "x", windowClass};
        EXPECT_EQ(BrowserOf(window), kind) << windowClass;
        EXPECT_EQ(PageTitleOf(window.title, BrowserOf(window)), pageTitle);
    }
}

TEST(WebUrlOf, takesOneHttpOrHttpsUrlOnly) {
    EXPECT_EQ(WebUrlOf("  https://example.jp/a?b=1\n"), "https://example.jp/a?b=1");
    for (const char* text :
         {"file:///etc/passwd", "see http://x.jp/", "http://x.jp/ http://y.jp/"}) {
        EXPECT_EQ(WebUrlOf(text), "") << text;
    }
}

struct FakeDesktop : Desktop {
    ForeignWindow active;
    ForeignWindow ActiveWindow() override { return active; }
};

// Neither the main window (7), nothing active nor another window of this
// program replaces the last browser window.
TEST(WatchForeground, remembersTheLastWindowOfAnotherProgram) {
    FakeDesktop desktop;
    ForeignWindow last;
    const std::uint32_t self = static_cast<std::uint32_t>(getpid());
    const std::pair<ForeignWindow, std::uint32_t> steps[] = {
        {{}, 0},
        {{5, 99, "a — Mozilla Firefox", "Navigator", "firefox"}, 5},
        {{7, 0, "トモリネ", "", ""}, 5},
        {{}, 5},
        {{9, self, "HtmlExportDialog", "", ""}, 5},
        {{6, 98, "b - Chromium", "chromium", "Chromium"}, 6},
    };
    for (const auto& [active, expected] : steps) {
        desktop.active = active;
        WatchForeground(
            desktop, [](std::uint32_t id) { return id == 7; }, last);
        EXPECT_EQ(last.id, expected) << active.title;
    }
    EXPECT_EQ(std::tie(last.title, last.className), std::tuple("b - Chromium", "Chromium"));
}

TEST(OpenX11Desktop, isNothingWithoutAnXServer) {
    EXPECT_EQ(OpenX11Desktop("unix:/nonexistent/socket:0"), nullptr);
}

} // namespace tomorine::test
