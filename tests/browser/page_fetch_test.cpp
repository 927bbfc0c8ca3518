// The fetch of a page from a server on 127.0.0.1, its charset and the
// keyword rule over what libxml2 parsed of it.
#include "browser/capture.h"
#include "browser/page_charset.h"
#include "local_http_server.h"

#include <chrono>
#include <gtest/gtest.h>
#include <iconv.h>

namespace tomorine::test {
namespace {

// UTF-8 text in another charset, through iconv as the page's author would.
std::string Encode(const std::string& utf8, const char* charset) {
    iconv_t cd = iconv_open(charset, "UTF-8");
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << charset;
    std::string out(utf8.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    EXPECT_NE(iconv(cd, &in, &inLeft, &outPtr, &outLeft), static_cast<std::size_t>(-1));
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

const std::string kTitle = "日本語のページ・ソフト";
const std::string kKeywords = "ニュース,表示,ソフト";

std::string Page(const std::string& head) {
    return "<html><head>" + head + "<title>" + kTitle +
           "</title>"
           "<meta name=description content=x><meta content=\"" +
           kKeywords +
           "\" name=\"keywords\"></head><body>本文です。ひらがなとカタカナ</body></html>";
}

TEST(CapturePage, readsTitleAndKeywordsInEveryJapaneseCharset) {
    const struct {
        const char* charset;     // iconv's name for the page's bytes
        std::string contentType; // the header
        std::string metaHead;    // what the page declares itself
    } cases[] = {
        {"UTF-8", "text/html", ""},
        {"CP932", "text/html",
         "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=shift_jis\">"},
        {"CP932", "", ""},
        {"CP932", "text/html; charset=x-unheard-of", ""}, // the bytes decide
        {"EUC-JP", "text/html", "<meta charset=\"EUC-JP\">"},
        {"EUC-JP", "text/html", ""},
        {"ISO-2022-JP", "text/html; charset=iso-2022-jp", ""},
        {"ISO-2022-JP", "text/html", ""},
    };
    LocalHttpServer server;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.charset) + " " + c.contentType + " " + c.metaHead);
        server.serve("/p", {c.contentType, Encode(Page(c.metaHead), c.charset)});
        const CapturedPage page = CapturePage(server.url("/p"), "", {});
        EXPECT_EQ(page.url, server.url("/p"));
        EXPECT_EQ(page.title, kTitle);
        EXPECT_EQ(page.keywords, "ニュース 表示 ソフト");
    }
}

TEST(DecodePage, marksUnreadableBytesAndDropsTheByteOrderMark) {
    EXPECT_EQ(DecodePage("\xEF\xBB\xBFok", ""), "ok");
    EXPECT_EQ(DecodePage("a\xFF", "text/html; charset=utf-8"), "a\xEF\xBF\xBD");
    EXPECT_EQ(DecodePage("\x82\xA0\x82", "text/html; charset=shift_jis"), "あ\xEF\xBF\xBD");
}

TEST(CapturePage, handsTheKeywordsElementToTheKeywordRule) {
    const struct {
        std::string meta, keywords;
    } cases[] = {
        {"<meta content=\"news,sports\" name=\"keywords\">", "NEWS SPORTS"},
        {"<META CONTENT=news,sports NAME=keywords>", "NEWS SPORTS"},
        {"<meta name=\"keywords\" content=\"news,sports\">", ""}, // not in the rule's order
        {"<meta name=description content=x>", ""},
    };
    LocalHttpServer server;
    for (const auto& c : cases) {
        server.serve("/k", {"text/html; charset=utf-8", "<html><head><title>T</title>" + c.meta});
        EXPECT_EQ(CapturePage(server.url("/k"), "", {}).keywords, c.keywords) << c.meta;
    }
}

TEST(CapturePage, keepsTheBrowsersTitleOverThePagesOwn) {
    LocalHttpServer server;
    server.serve("/t", {"text/html", "<title>page's</title>"});
    EXPECT_EQ(CapturePage(server.url("/t"), "browser's", {}).title, "browser's");
    EXPECT_EQ(CapturePage(server.url("/t"), "", {}).title, "page's");
}

TEST(FetchPage, readsTwoMegabytesAtMostOfALongerPage) {
    LocalHttpServer server;
    server.serve("/big", {"text/html", "<html><head><meta content=a,b name=keywords><body>" +
                                           std::string(3 * 1024 * 1024, 'x')});
    const FetchedPage fetched = FetchPage(server.url("/big"));
    EXPECT_TRUE(fetched.ok);
    EXPECT_TRUE(fetched.truncated);
    EXPECT_EQ(fetched.body.size(), 2u * 1024 * 1024);
    EXPECT_EQ(CapturePage(server.url("/big"), "", {}).keywords, "A B");
}

TEST(FetchPage, givesUpOnAServerThatNeverAnswers) {
    LocalHttpServer server;
    LocalHttpServer::Response silent;
    silent.silent = true;
    server.serve("/silent", silent);
    const auto start = std::chrono::steady_clock::now();
    const CapturedPage page =
        CapturePage(server.url("/silent"), "t", {.timeoutMilliseconds = 1000});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(page.url, server.url("/silent"));
    EXPECT_EQ(page.title, "t");
    EXPECT_EQ(page.keywords, "");
}

TEST(FetchPage, refusesErrorsAndOtherSchemes) {
    LocalHttpServer server;
    server.serve("/gone", {"text/html", "<meta content=a name=keywords>", 404});
    EXPECT_FALSE(FetchPage(server.url("/gone")).ok);
    EXPECT_FALSE(FetchPage("file:///etc/hostname").ok);
    EXPECT_FALSE(FetchPage("http://127.0.0.1:1/").ok);
}

} // namespace
} // namespace tomorine::test
