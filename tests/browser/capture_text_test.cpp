// The text rules of the capture: NextLine, the keywords META line, the page
// title in a browser's window title, the clipboard URL.
#include "browser/browser_window.h"
#include "browser/capture.h"
#include "browser/meta_keywords.h"
#include "browser/next_line.h"
#include "browser/page_markup.h"

#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

TEST(NextLine, takesThePieceUpToTheFirstDelimiterCharacter) {
    const struct {
        std::string text, delimiter, piece, rest;
    } cases[] = {
        {"a\r\nb\r\nc", "\r\n", "a", "\nb\r\nc"},
        {"\nc", "\r\n", "\nc", ""},
        {"\r\r\rab\rc", "\r", "ab", "c"},
        {"\r\r", "\r\n", "", ""},
        {"abc", "", "", "abc"},
        {"a,b", ",;", "a", "b"},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(NextLine(text, c.delimiter), c.piece) << c.text;
        EXPECT_EQ(text, c.rest) << c.text;
    }
}

TEST(KeywordsFromMarkup, readsTheKeywordsMetaLine) {
    const struct {
        std::string markup;
        std::optional<std::string> keywords;
    } cases[] = {
        {"<HTML>\r\n<META CONTENT=NEWS,SPORTS NAME=KEYWORDS>", "NEWS SPORTS"},
        {"<HTML>\r\n<META CONTENT=\"NEWS, SPORTS\" NAME=KEYWORDS>", "NEWS  SPORTS"},
        // The other order, and the first line (no line feed before it).
        {"<HTML>\r\n<META NAME=KEYWORDS CONTENT=NEWS,SPORTS>", std::nullopt},
        {"<META CONTENT=NEWS NAME=KEYWORDS>", std::nullopt},
        {"<HTML>\r\n<META CONTENT=NEWS NAME=DESCRIPTION>", std::nullopt},
        {"<HTML>\r\n<META CONTENT=A NAME=KEYWORDS>\r\n<META CONTENT=B NAME=KEYWORDS>", "A"},
        {"<HTML>\r\r\n\r\n<META CONTENT=A NAME=KEYWORDS>", "A"},
        {"<HTML>\r\n<META CONTENT=\" NAME=KEYWORDS>", ""},
        {"<HTML>\r\n<META CONTENT=日本語,ニュース NAME=KEYWORDS>", "日本語 ニュース"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KeywordsFromMarkup(c.markup), c.keywords) << c.markup;
    }
}

TEST(ParsePageMarkup, givesOneUpperCasedStartTagPerLineAndTheTitle) {
    const PageMarkup page = ParsePageMarkup(
        "<!DOCTYPE html><html lang=ja><head>\n<title> 今日の\n  ニュース </title>"
        "<meta name=\"keywords\" content=\"news,sports\">"
        "<meta content='news,\nsports' name=keywords></head><body><p class=\"a b\">x</p>");
    EXPECT_EQ(page.title, "今日の ニュース");
    EXPECT_EQ(page.markup, "<HTML LANG=JA>\r\n<HEAD>\r\n<TITLE>\r\n"
                           "<META NAME=KEYWORDS CONTENT=NEWS,SPORTS>\r\n"
                           "<META CONTENT=\"NEWS, SPORTS\" NAME=KEYWORDS>\r\n<BODY>\r\n"
                           "<P CLASS=\"A B\">");
    EXPECT_EQ(KeywordsFromMarkup(page.markup), "NEWS  SPORTS");
    EXPECT_EQ(ParsePageMarkup("<title>t<meta content=a").title.substr(0, 1), "t");
    std::string deep;
    for (int i = 0; i < 100000; ++i) {
        deep += "<div>";
    }
    EXPECT_NO_THROW(ParsePageMarkup(deep));
}

TEST(BrowserWindow, knowsTheBrowserAndItsPageTitle) {
    const struct {
        std::string windowClass, windowTitle;
        BrowserKind kind;
        std::string pageTitle;
    } cases[] = {
        {"firefox-esr", "ニュース — Mozilla Firefox", BrowserKind::Firefox, "ニュース"},
        {"Firefox-esr", "a - b - Mozilla Firefox", BrowserKind::Firefox, "a - b"},
        {"firefox", "Mozilla Firefox", BrowserKind::Firefox, ""},
        {"firefox", "x — Mozilla Firefox Private Browsing", BrowserKind::Firefox, "x"},
        {"Chromium", "Page - Chromium", BrowserKind::Chromium, "Page"},
        {"Microsoft-edge", "Page - Microsoft\u200B Edge", BrowserKind::Chromium, "Page"},
        {"XTerm", "vim - Mozilla Firefox", BrowserKind::None, "vim - Mozilla Firefox"},
    };
    for (const auto& c : cases) {
        ForeignWindow window{1, 0, c.windowTitle, "x", c.windowClass};
        EXPECT_EQ(BrowserOf(window), c.kind) << c.windowClass;
        EXPECT_EQ(PageTitleOf(window.title, BrowserOf(window)), c.pageTitle);
    }
}

TEST(WebUrlOf, takesOneHttpOrHttpsUrlOnly) {
    EXPECT_EQ(WebUrlOf("  https://example.jp/a?b=1\n"), "https://example.jp/a?b=1");
    for (const char* text :
         {"file:///etc/passwd", "see http://x.jp/", "http://x.jp/ http://y.jp/"}) {
        EXPECT_EQ(WebUrlOf(text), "") << text;
    }
}

} // namespace
} // namespace tomorine::test
