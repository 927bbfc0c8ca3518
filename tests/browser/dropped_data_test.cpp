// What a drop fills in, from the text and uri-list that browsers and file
// managers offer.
#include "browser/dropped_data.h"
#include "browser/file_url.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace tomorine;
using namespace tomorine::test;

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

// Text fills only the URL; of several files the first gives URL and title,
// also when file managers offer them as text too; a file without a target
// gives its name and counts the failure.
TEST(ReadDrop, FillsFromTextAndShortcutFiles) {
    TempDir dir;
    const auto write = [&](const std::string& name, const std::string& url) {
        const std::string text = "[InternetShortcut]\r\nURL=" + url + "\r\n";
        WriteBytes(dir / name, std::vector<std::uint8_t>(text.begin(), text.end()));
        return "file://" + (dir / name).string();
    };
    ShortcutCounters counters;
    DropFill fill = ReadDrop({std::nullopt, "http://c.jp/\r\n"}, counters);
    EXPECT_EQ(fill.url, u"http://c.jp/");
    EXPECT_FALSE(fill.title.has_value());
    EXPECT_FALSE(ReadDrop({std::nullopt, ""}, counters).recognised);

    write("News Site.url", "http://news.jp/");
    const std::string list = "file://" + (dir / "News%20Site.url").string() + "\r\n" +
                             write("second.url", "http://second.jp/") + "\r\n";
    fill = ReadDrop({u"/somewhere/News Site.url", list}, counters);
    EXPECT_EQ(fill.url, u"http://news.jp/");
    EXPECT_EQ(fill.title, u"News Site");

    fill = ReadDrop({std::nullopt, write("empty.url", "")}, counters);
    EXPECT_EQ(fill.title, u"empty");
    EXPECT_EQ(counters.ShortcutNoTargetCount, 1);
}

} // namespace
