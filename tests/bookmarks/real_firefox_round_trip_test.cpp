// The round trip through Debian's firefox-esr: a workbook of Japanese entries
// exported as a bookmark file, imported by the browser into a fresh profile
// (headless, loopback only), and that profile read back by our import.
#include "bookmarks/firefox_bookmarks.h"
#include "bookmarks/netscape_writer.h"
#include "store/workbook/utf.h"
#include "support/temp_dir.h"
#include "x_session.h"

#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <thread>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(RealFirefoxRoundTrip, ExportedEntriesComeBackWithTitlesAndTags) {
    if (!OnPath("firefox-esr")) {
        GTEST_SKIP() << "firefox-esr is not installed";
    }
    TempDir home;
    const std::vector<Entry> entries{
        Entry{1, u"https://127.0.0.1/京都", u"京都の寺 & 庭", u"", u"寺 庭園", u"メモ"},
        Entry{2, u"http://127.0.0.1:8080/a?x=1&y=2", u"「大阪」<食>", u"", u"食べ物", u""},
        Entry{3, u"https://127.0.0.1/none", u"タグなし", u"", u"", u""},
    };
    WriteNetscapeBookmarks(entries, home / "bookmarks.html");
    const fs::path profile = home / "profile";
    fs::create_directories(profile);
    fs::copy_file(TOMORINE_FIREFOX_USER_JS, profile / "user.js");
    std::ofstream(profile / "user.js", std::ios::app)
        << "user_pref(\"browser.places.importBookmarksHTML\", true);\n"
        << "user_pref(\"browser.bookmarks.file\", \"" << (home / "bookmarks.html").string()
        << "\");\n";

    std::map<std::string, BrowserBookmark> read;
    {
        Child firefox(
            {"firefox-esr", "--headless", "-no-remote", "-profile", profile.string(),
             "about:blank"},
            {"HOME=" + home.path().string(), "MOZ_HEADLESS=1", "MOZ_CRASHREPORTER_DISABLE=1"});
        const auto deadline = std::chrono::steady_clock::now() + 120s;
        while (read.size() < entries.size() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(1s);
            try {
                read.clear();
                for (BrowserBookmark& b : ReadFirefoxBookmarks(profile)) {
                    if (b.url.starts_with("http://127.0.0.1") ||
                        b.url.starts_with("https://127.0.0.1")) {
                        read[b.url] = std::move(b);
                    }
                }
            } catch (const std::exception&) {
                // The browser has not made its database yet.
            }
        }
    }
    ASSERT_EQ(read.size(), entries.size());
    for (const Entry& entry : entries) {
        // Firefox stores URLs as it normalises them.
        std::string url = ToUtf8(entry.url);
        if (url.find("京都") != std::string::npos) {
            url = "https://127.0.0.1/%E4%BA%AC%E9%83%BD";
        }
        SCOPED_TRACE(url);
        ASSERT_TRUE(read.contains(url));
        const BrowserBookmark& b = read[url];
        EXPECT_EQ(b.title, ToUtf8(entry.title));
        std::vector<std::string> tags = b.tags;
        std::sort(tags.begin(), tags.end());
        std::vector<std::string> expected;
        std::string keywords = ToUtf8(entry.keywords);
        for (size_t start = 0; start < keywords.size();) {
            size_t end = std::min(keywords.find(' ', start), keywords.size());
            expected.push_back(keywords.substr(start, end - start));
            start = end + 1;
        }
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(tags, expected);
    }
}

} // namespace
} // namespace tomorine::test
