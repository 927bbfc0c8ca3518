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

struct NextLineCase {
    std::string text;
    std::string delimiter;
    std::string piece;
    std::string rest;
};

class NextLineTest : public ::testing::TestWithParam<NextLineCase> {};

TEST_P(NextLineTest, takesThePieceUpToTheFirstDelimiterCharacter) {
    std::string text = GetParam().text;
    EXPECT_EQ(NextLine(text, GetParam().delimiter), GetParam().piece);
    EXPECT_EQ(text, GetParam().rest);
}

INSTANTIATE_TEST_SUITE_P(Cases, NextLineTest,
                         ::testing::Values(NextLineCase{"a\r\nb\r\nc", "\r\n", "a", "\nb\r\nc"},
                                           NextLineCase{"\nb\r\nc", "\r\n", "\nb", "\nc"},
                                           NextLineCase{"\nc", "\r\n", "\nc", ""},
                                           NextLineCase{"\r\r\rab\rc", "\r", "ab", "c"},
                                           NextLineCase{"\r\r", "\r\n", "", ""},
                                           NextLineCase{"", "\r\n", "", ""},
                                           NextLineCase{"abc", "", "", "abc"},
                                           NextLineCase{"a,b", ",;", "a", "b"}));

struct KeywordCase {
    std::string markup;
    std::optional<std::string> keywords;
};

class KeywordsFromMarkupTest : public ::testing::TestWithParam<KeywordCase> {};

TEST_P(KeywordsFromMarkupTest, readsTheKeywordsMetaLine) {
    EXPECT_EQ(KeywordsFromMarkup(GetParam().markup), GetParam().keywords);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KeywordsFromMarkupTest,
    ::testing::Values(
        KeywordCase{"<HTML>\r\n<META CONTENT=NEWS,SPORTS NAME=KEYWORDS>", "NEWS SPORTS"},
        KeywordCase{"<HTML>\r\n<META CONTENT=\"NEWS, SPORTS\" NAME=KEYWORDS>", "NEWS  SPORTS"},
        // The other order, and the first line (no line feed before it).
        KeywordCase{"<HTML>\r\n<META NAME=KEYWORDS CONTENT=NEWS,SPORTS>", std::nullopt},
        KeywordCase{"<META CONTENT=NEWS NAME=KEYWORDS>", std::nullopt},
        KeywordCase{"<HTML>\r\n<META CONTENT=NEWS NAME=DESCRIPTION>", std::nullopt},
        KeywordCase{"<HTML>\r\n<META CONTENT=A NAME=KEYWORDS>\r\n<META CONTENT=B NAME=KEYWORDS>",
                    "A"},
        KeywordCase{"<HTML>\r\r\n\r\n<META CONTENT=A NAME=KEYWORDS>", "A"},
        KeywordCase{"<HTML>\r\n<META CONTENT=\"\" NAME=KEYWORDS>", ""},
        KeywordCase{"<HTML>\r\n<META CONTENT=\" NAME=KEYWORDS>", ""},
        KeywordCase{"<HTML>\r\n<META CONTENT=日本語,ニュース NAME=KEYWORDS>", "日本語 ニュース"},
        KeywordCase{"", std::nullopt}));

TEST(ParsePageMarkup, givesOneUpperCasedStartTagPerLineAndTheTitle) {
    const PageMarkup page = ParsePageMarkup(
        "<!DOCTYPE html><html lang=ja><head><meta charset=utf-8>\n<title> 今日の\n  ニュース "
        "</title><meta name=\"keywords\" content=\"news,sports\">"
        "<meta content='news,\nsports' name=keywords></head><body><p class=\"a b\">x</p>"
        "</body></html>");
    EXPECT_EQ(page.title, "今日の ニュース");
    EXPECT_EQ(page.markup, "<HTML LANG=JA>\r\n<HEAD>\r\n<META CHARSET=UTF-8>\r\n<TITLE>\r\n"
                           "<META NAME=KEYWORDS CONTENT=NEWS,SPORTS>\r\n"
                           "<META CONTENT=\"NEWS, SPORTS\" NAME=KEYWORDS>\r\n<BODY>\r\n"
                           "<P CLASS=\"A B\">");
    EXPECT_EQ(KeywordsFromMarkup(page.markup), "NEWS  SPORTS");
}

TEST(ParsePageMarkup, keepsBrokenAndDeepPagesReadable) {
    EXPECT_EQ(ParsePageMarkup("").markup, "");
    const PageMarkup broken = ParsePageMarkup("<title>t<meta content=a name=keywords");
    EXPECT_EQ(broken.title.substr(0, 1), "t");
    std::string deep;
    for (int i = 0; i < 100000; ++i) {
        deep += "<div>";
    }
    EXPECT_NO_THROW(ParsePageMarkup("<meta content=a name=keywords>" + deep));
}

struct TitleCase {
    std::string windowClass;
    std::string windowTitle;
    BrowserKind kind;
    std::string pageTitle;
};

class BrowserWindowTest : public ::testing::TestWithParam<TitleCase> {};

TEST_P(BrowserWindowTest, knowsTheBrowserAndItsPageTitle) {
    ForeignWindow window{1, 0, GetParam().windowTitle, "x", GetParam().windowClass};
    EXPECT_EQ(BrowserOf(window), GetParam().kind);
    EXPECT_EQ(PageTitleOf(window.title, BrowserOf(window)), GetParam().pageTitle);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrowserWindowTest,
    ::testing::Values(
        TitleCase{"firefox-esr", "ニュース — Mozilla Firefox", BrowserKind::Firefox, "ニュース"},
        TitleCase{"Firefox-esr", "a - b - Mozilla Firefox", BrowserKind::Firefox, "a - b"},
        TitleCase{"firefox", "Mozilla Firefox", BrowserKind::Firefox, ""},
        TitleCase{"firefox", "x — Mozilla Firefox Private Browsing", BrowserKind::Firefox, "x"},
        TitleCase{"Chromium", "Page - Chromium", BrowserKind::Chromium, "Page"},
        TitleCase{"Google-chrome", "Page - Google Chrome", BrowserKind::Chromium, "Page"},
        TitleCase{"Brave-browser", "Page - Brave", BrowserKind::Chromium, "Page"},
        TitleCase{"Microsoft-edge", "Page - Microsoft\u200B Edge", BrowserKind::Chromium, "Page"},
        TitleCase{"Vivaldi-stable", "Page - Vivaldi", BrowserKind::Chromium, "Page"},
        TitleCase{"XTerm", "vim - Mozilla Firefox", BrowserKind::None, "vim - Mozilla Firefox"}));

TEST(WebUrlOf, takesOneHttpOrHttpsUrlOnly) {
    EXPECT_EQ(WebUrlOf("  https://example.jp/a?b=1\n"), "https://example.jp/a?b=1");
    EXPECT_EQ(WebUrlOf("http://x.jp/"), "http://x.jp/");
    EXPECT_EQ(WebUrlOf("file:///etc/passwd"), "");
    EXPECT_EQ(WebUrlOf("see http://x.jp/"), "");
    EXPECT_EQ(WebUrlOf("http://x.jp/ http://y.jp/"), "");
    EXPECT_EQ(WebUrlOf(""), "");
}

} // namespace
} // namespace tomorine::test
