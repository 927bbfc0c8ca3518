// The file URLs and uri-lists that file managers offer with a drop; what the
// window fills in from them is the main window's drop test's concern.
#include "browser/dropped_data.h"
#include "browser/file_url.h"

#include <gtest/gtest.h>

using namespace tomorine;

TEST(DroppedData, LocalFileUrlsAndUriListLines) {
    const std::pair<const char*, const char*> cases[] = {
        {"file:///home/u/%E6%97%A5%E6%9C%AC.url", "/home/u/日本.url"},
        {"file:///home/u/a%23b.url#frag", "/home/u/a#b.url"},
        {"file://other.example/home/u/a.url", ""}, // not a local file
        {"file:///a%00b.url", ""},
        {"http://example.jp/a.url", ""},
    };
    for (const auto& [url, path] : cases) {
        EXPECT_EQ(FileUrlToPath(url).value_or("").string(), path) << url;
    }
    EXPECT_EQ(ParseUriList("# from a file manager\r\nfile:///a.url\r\n\r\nhttp://b.jp/\n"),
              (std::vector<std::string>{"file:///a.url", "http://b.jp/"}));
}
