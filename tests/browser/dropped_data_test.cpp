// The file URLs and uri-lists that file managers offer with a drop; what the
// window fills in from them is the main window's drop test's concern.
#include "browser/dropped_data.h"
#include "browser/file_url.h"

#include <gtest/gtest.h>

using namespace tomorine;

namespace {

TEST(FileUrl, LocalFilesOnly) {
    struct Case {
        const char* url;
        const char* path; // nullptr: not a local file
    } cases[] = {
        {"file:///home/u/a.url", "/home/u/a.url"},
        {"file:///home/u/%E6%97%A5%E6%9C%AC.url", "/home/u/日本.url"},
        {"file:///home/u/a%23b.url#frag", "/home/u/a#b.url"},
        {"file://other.example/home/u/a.url", nullptr},
        {"file:///a%00b.url", nullptr},
        {"http://example.jp/a.url", nullptr},
    };
    for (const Case& c : cases) {
        std::optional<std::filesystem::path> path = FileUrlToPath(c.url);
        if (c.path == nullptr) {
            EXPECT_FALSE(path.has_value()) << c.url;
        } else {
            ASSERT_TRUE(path.has_value()) << c.url;
            EXPECT_EQ(path->string(), c.path) << c.url;
        }
    }
}

TEST(UriList, CommentsAndLineEndsAreSkipped) {
    EXPECT_EQ(ParseUriList("# from a file manager\r\nfile:///a.url\r\n\r\nhttp://b.jp/\n"),
              (std::vector<std::string>{"file:///a.url", "http://b.jp/"}));
}

} // namespace
