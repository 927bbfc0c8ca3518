// A page fetched from 127.0.0.1: its charset, and the keyword rule over libxml2's parse.
#include "browser/capture.h"
#include "local_http_server.h"

#include <gtest/gtest.h>
#include <iconv.h>

namespace tomorine::test {

// UTF-8 text in another charset, through iconv as the page's author would.
static std::string Encode(const std::string& utf8, const char* charset) {
    iconv_t cd = iconv_open(charset, "UTF-8");
    std::string out(utf8.size() * 4 + 16, '\0');
    char *in = const_cast<char*>(utf8.data()), *outPtr = out.data();
    std::size_t inLeft = utf8.size(), outLeft = out.size();
    EXPECT_NE(iconv(cd, &in, &inLeft, &outPtr, &outLeft), static_cast<std::size_t>(-1));
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft); // ISO-2022-JP's return to ASCII
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

TEST(CapturePage, readsTitleAndKeywordsInEveryJapaneseCharset) {
    const std::string title = "日本語のページ・ソフト";
    const std::string quoted = "<meta content=\"ニュース,表示\" name=\"keywords\">";
    const struct {
        const char* charset;     // iconv's name for the page's bytes
        std::string contentType; // the header
        std::string head;        // what the page declares itself
    } cases[] = {
        {"UTF-8", "text/html", quoted},
        {"CP932", "text/html",
         "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=shift_jis\">" + quoted},
        {"CP932", "", quoted},
        {"CP932", "text/html; charset=x-unheard-of", quoted}, // the bytes decide
        {"EUC-JP", "text/html", "<meta charset=\"EUC-JP\">" + quoted},
        {"ISO-2022-JP", "text/html; charset=iso-2022-jp", quoted},
        {"ISO-2022-JP", "text/html", quoted},
    };
    LocalHttpServer server;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.charset) + " " + c.contentType + " " + c.head);
        server.serve("/p", {c.contentType,
                            Encode("<html><head>" + c.head + "<title>" + title +
                                       "</title></head><body>本文です。ひらがなとカタカナ</body>",
                                   c.charset)});
        const CapturedPage page = CapturePage(server.url("/p"), "", {});
        EXPECT_EQ(std::tie(page.url, page.title, page.keywords),
                  std::tuple(server.url("/p"), title, "ニュース 表示"));
    }
    EXPECT_EQ(CapturePage(server.url("/p"), "browser's", {}).title, "browser's");
}

// Two megabytes at most of a longer page, a server that never answers given
// up on, errors and other schemes refused.
TEST(FetchPage, boundsWhatItReadsAndWaitsFor) {
    LocalHttpServer server;
    // An endless title too, cut where the entry's title ends, before an emoji's second half.
    server.serve("/big", {"text/html; charset=utf-8",
                          "<html><head><meta content=a,b name=keywords><title>" +
                              std::string(499, 'a') + "😀" + std::string(3 * 1024 * 1024, 'x')});
    const FetchedPage fetched = FetchPage(server.url("/big"));
    EXPECT_EQ(std::tuple(fetched.ok, fetched.truncated, fetched.body.size()),
              std::tuple(true, true, 2u * 1024 * 1024));
    const CapturedPage big = CapturePage(server.url("/big"), "", {});
    EXPECT_EQ(std::tie(big.keywords, big.title), std::tuple("A B", std::string(499, 'a')));

    const CapturedPage page = CapturePage(server.url("/hang"), "t", {.timeoutMilliseconds = 1000});
    EXPECT_EQ(std::tie(page.url, page.title, page.keywords),
              std::tuple(server.url("/hang"), "t", ""));

    server.serve("/gone", {"text/html", "<meta content=a name=keywords>", 404});
    for (const std::string& url :
         {server.url("/gone"), std::string("file:///etc/hostname"), server.refusedUrl()}) {
        EXPECT_FALSE(FetchPage(url).ok) << url;
    }
}

} // namespace tomorine::test
