// The round trip through Debian's firefox-esr: a workbook of Japanese entries
// exported as a bookmark file, imported by the browser into a fresh profile
// (headless, loopback only), and that profile read back by our import.
#include "bookmarks/firefox_bookmarks.h"
#include "bookmarks/netscape_writer.h"
#include "support/temp_dir.h"
#include "x_session.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <thread>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Found = std::map<std::string, std::string>; // URL -> "title | [tag][tag]"

TEST(RealFirefoxRoundTrip, ExportedEntriesComeBackWithTitlesAndTags) {
    if (!OnPath("firefox-esr")) {
        GTEST_SKIP() << "firefox-esr is not installed";
    }
    TempDir home;
    WriteNetscapeBookmarks(
        {{1, u"https://127.0.0.1/京都", u"京都の寺 & 庭", u"", u"寺 庭園", u"メモ"},
         {2, u"http://127.0.0.1:8080/a?x=1&y=2", u"「大阪」<食>", u"", u"食べ物", u""},
         {3, u"https://127.0.0.1/none", u"タグなし", u"", u"", u""}},
        home / "bookmarks.html");
    // Firefox stores URLs as it normalises them.
    const Found expected{{"https://127.0.0.1/%E4%BA%AC%E9%83%BD", "京都の寺 & 庭 | [寺][庭園]"},
                         {"http://127.0.0.1:8080/a?x=1&y=2", "「大阪」<食> | [食べ物]"},
                         {"https://127.0.0.1/none", "タグなし | "}};
    const fs::path profile = home / "profile";
    fs::create_directories(profile);
    fs::copy_file(TOMORINE_FIREFOX_USER_JS, profile / "user.js");
    std::ofstream(profile / "user.js", std::ios::app)
        << "user_pref(\"browser.places.importBookmarksHTML\", true);\n"
        << "user_pref(\"browser.bookmarks.file\", \"" << (home / "bookmarks.html").string()
        << "\");\n";

    Found found;
    Child firefox(
        {"firefox-esr", "--headless", "-no-remote", "-profile", profile.string(), "about:blank"},
        {"HOME=" + home.path().string(), "MOZ_HEADLESS=1", "MOZ_CRASHREPORTER_DISABLE=1"});
    for (const auto deadline = std::chrono::steady_clock::now() + 120s;
         found != expected && std::chrono::steady_clock::now() < deadline;) {
        std::this_thread::sleep_for(1s);
        try { // the loopback bookmarks, tags sorted
            for (BrowserBookmark& b : ReadFirefoxBookmarks(profile).bookmarks) {
                std::sort(b.tags.begin(), b.tags.end());
                std::string tags;
                for (const std::string& tag : b.tags) {
                    tags += "[" + tag + "]";
                }
                if (b.url.find("//127.0.0.1") != std::string::npos) {
                    found[b.url] = b.title + " | " + tags;
                }
            }
        } catch (const std::exception&) { // the browser has not made its database yet
        }
    }
    EXPECT_EQ(found, expected);
}

} // namespace
} // namespace tomorine::test
