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
        {"file://localhost/home/u/a.url", "/home/u/a.url"},
        {"file:///home/u/%E6%97%A5%E6%9C%AC.url", "/home/u/日本.url"},
        {"file:///home/u/a%23b.url#frag", "/home/u/a#b.url"},
        {"file:///bad%zz.url", "/bad%zz.url"},
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
    EXPECT_EQ(ShortcutTitle("/f.d/a.b.URL"), u"a.b");
}

class Drop : public ::testing::Test {
protected:
    std::string fileUrl(const std::string& name) { return "file://" + (dir_ / name).string(); }
    void writeShortcut(const std::string& name, const std::string& url) {
        std::string text = "[InternetShortcut]\r\nURL=" + url + "\r\n";
        WriteBytes(dir_ / name, std::vector<std::uint8_t>(text.begin(), text.end()));
    }

    TempDir dir_;
    ShortcutCounters counters_;
};

TEST_F(Drop, TextOrALinkFillsOnlyTheUrl) {
    for (const DroppedData& data :
         {DroppedData{u"http://c.jp/", ""}, DroppedData{std::nullopt, "http://c.jp/\r\n"}}) {
        DropFill fill = ReadDrop(data, counters_);
        EXPECT_TRUE(fill.recognised);
        EXPECT_EQ(fill.url, u"http://c.jp/");
        EXPECT_FALSE(fill.title.has_value());
    }
    EXPECT_FALSE(ReadDrop({std::nullopt, ""}, counters_).recognised);
}

TEST_F(Drop, OnlyTheFirstOfSeveralFilesIsUsed) {
    writeShortcut("News Site.url", "http://news.jp/");
    writeShortcut("second.url", "http://second.jp/");
    std::string list = fileUrl("News%20Site.url") + "\r\n" + fileUrl("second.url") + "\r\n";
    // File managers offer the same files as text too; the files win.
    DropFill fill = ReadDrop({u"/somewhere/News Site.url", list}, counters_);
    EXPECT_EQ(fill.url, u"http://news.jp/");
    EXPECT_EQ(fill.title, std::optional<std::u16string>(u"News Site"));
    EXPECT_EQ(counters_.ShortcutErrorCount, 0);
}

TEST_F(Drop, AFileWithoutTargetGivesItsNameAndCountsTheFailure) {
    writeShortcut("empty.url", "");
    DropFill fill = ReadDrop({std::nullopt, fileUrl("empty.url")}, counters_);
    EXPECT_TRUE(fill.recognised);
    EXPECT_EQ(fill.url, u"");
    EXPECT_EQ(fill.title, std::optional<std::u16string>(u"empty"));
    EXPECT_EQ(counters_.ShortcutErrorCount, 1);
    EXPECT_EQ(counters_.ShortcutNoTargetCount, 1);
}

} // namespace
