// The three readers on files in the browsers' own formats, built at run time,
// and the Netscape file written for a browser.
#include "bookmarks/chromium_bookmarks.h"
#include "bookmarks/firefox_bookmarks.h"
#include "bookmarks/netscape_reader.h"
#include "bookmarks/netscape_writer.h"
#include "browser_files.h"
#include "store/workbook/workbook_error.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <optional>

using namespace tomorine;
using namespace tomorine::test;

namespace {

using Lines = std::vector<std::string>;

// Each bookmark as "url | title | [tag][tag] | description | folder".
Lines Describe(const BrowserBookmarks& read) {
    Lines out;
    for (const BrowserBookmark& b : read.bookmarks) {
        std::string tags;
        for (const std::string& tag : b.tags) {
            tags += "[" + tag + "]";
        }
        out.push_back(b.url + " | " + b.title + " | " + tags + " | " + b.description + " | " +
                      b.folder.path());
    }
    return out;
}

TEST(FirefoxBookmarks, FoldersInOrderTagsAndTheUncheckpointedLog) {
    TempDir dir;
    PlacesFile places(dir / "places.sqlite");
    const long long kyoto = places.folder(places.folder(PlacesFile::kMenu, "旅行"), "京都");
    places.bookmark(PlacesFile::kMenu, "https://example.com/top", "トップ");
    places.bookmark(kyoto, "https://example.com/kiyomizu", "清水寺");
    places.bookmark(PlacesFile::kToolbar, "http://example.org/", std::nullopt);
    places.bookmark(PlacesFile::kToolbar, "place:sort=8", "最近");
    places.tag("https://example.com/kiyomizu", "寺");
    places.tag("https://example.com/kiyomizu", "new york");
    // Only in the -wal file: the connection is still open and never checkpoints.
    ASSERT_TRUE(std::filesystem::exists(dir / "places.sqlite-wal"));
    EXPECT_EQ(Describe(ReadFirefoxBookmarks(dir.path())),
              (Lines{"https://example.com/top | トップ |  |  | ",
                     "https://example.com/kiyomizu | 清水寺 | [new york][寺] |  | 旅行/京都",
                     "place:sort=8 | 最近 |  |  | ", "http://example.org/ |  |  |  | "}));
}

TEST(BookmarkReaders, MissingOrBrokenFilesAreNamed) {
    const std::string json = ChromiumBookmarksJson(R"([{"type":"url","url":"http://a/"}])", "[]");
    const struct {
        BrowserBookmarks (*read)(const std::filesystem::path&);
        const char* name;
        std::optional<std::string> text; // none: the file is missing
    } cases[] = {
        {ReadFirefoxBookmarks, "places.sqlite", std::nullopt},
        {ReadFirefoxBookmarks, "places.sqlite", "not a database at all, just text"},
        {ReadChromiumBookmarks, "Bookmarks", std::nullopt},
        {ReadChromiumBookmarks, "Bookmarks", json.substr(0, json.size() / 2)},
        {ReadChromiumBookmarks, "Bookmarks", R"({"roots":3})"},
        {ReadChromiumBookmarks, "Bookmarks", "\xff\xfe{"},
        {ReadNetscapeBookmarks, "b.html", std::nullopt},
        {ReadNetscapeBookmarks, "b.html", "<html><body>hello</body></html>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.value_or(std::string("missing ") + c.name));
        TempDir dir;
        if (c.text) {
            WriteText(dir / c.name, *c.text);
        }
        try {
            c.read(dir / c.name);
            ADD_FAILURE() << "read";
        } catch (const WorkbookError& e) {
            EXPECT_NE(std::string(e.what()).find(c.name), std::string::npos) << e.what();
        }
    }
}

TEST(ChromiumBookmarks, RootsAndNestedFolders) {
    TempDir dir;
    WriteText(dir / "Bookmarks",
              ChromiumBookmarksJson(
                  R"([{"type":"url","name":"一","url":"https://a.example/"},
                      {"type":"folder","name":"F","children":[
                        {"type":"folder","name":"G","children":[
                          {"type":"url","name":"","url":"http://b.example/"}]}]}])",
                  R"j([{"type":"url","name":"js","url":"javascript:void(0)"}])j"));
    EXPECT_EQ(Describe(ReadChromiumBookmarks(dir.path())),
              (Lines{"https://a.example/ | 一 |  |  | ", "http://b.example/ |  |  |  | F/G",
                     "javascript:void(0) | js |  |  | "}));
}

const std::string kHead = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<TITLE>Bookmarks</TITLE>\n"
                          "<H1>Bookmarks</H1>\n";

TEST(NetscapeBookmarks, FoldersEntitiesAndCharsets) {
    const struct {
        std::string bytes;
        Lines expected;
    } cases[] = {
        {kHead + "<DL><p>\n<DT><H3 ADD_DATE=\"1\">外</H3>\n<DL><p>\n"
                 "<DT><A HREF=\"https://x.example/\" TAGS=\"a, b c,,\">X</A>\n<DD>一行目\n二行目\n"
                 "<DT><H3>内</H3>\n<DL><p>\n<DT><A HREF=\"http://y.example/\">Y</A>\n"
                 "</DL><p>\n<DT><A HREF=\"http://z.example/\">Z</A>\n</DL><p>\n"
                 "<DT><A HREF=\"ftp://w.example/\">W</A>\n<DD>\n</DL><p>\n",
         {"https://x.example/ | X | [a][b c] | 一行目\n二行目 | 外",
          "http://y.example/ | Y |  |  | 外/内", "http://z.example/ | Z |  |  | 外",
          "ftp://w.example/ | W |  |  | "}},
        {kHead + "<DL><p><DT><A HREF=\"https://e.example/?a=1&amp;b=2\" TAGS=\"&quot;q&quot;\">"
                 "&lt;b&gt; &amp; &#x1F600; &#26085; &nbsp;&bogus; &#0;</A><DD>&#39;x&apos;</DL>",
         {"https://e.example/?a=1&b=2 | <b> & \xF0\x9F\x98\x80 日 \xC2\xA0&bogus; \xEF\xBF\xBD | "
          "[\"q\"] | 'x' | "}},
        {"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">"
         "<DL><DT><H3>\x93\xFA\x96\x7B</H3><DL><DT><A HREF=\"http://s.example/\">"
         "\x83\x5C\x83\x74\x83\x67</A></DL></DL>",
         {"http://s.example/ | ソフト |  |  | 日本"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Describe(ParseNetscapeBookmarks(c.bytes, "b.html")), c.expected) << c.bytes;
    }
}

TEST(NetscapeWriter, EscapesEveryTextAndReadsBack) {
    TempDir dir;
    WriteNetscapeBookmarks({{1, u"https://a.example/?x=1&y=\"2\"", u"<東京> & \"大阪\"", u"",
                             u"京都 a,b 奈良\u3000寺 new\u00A0york", u"一行目\n<二行目>"},
                            {2, u"http://b.example/", u"題", u"", u"", u""}},
                           dir / "out.html");
    EXPECT_EQ(Describe(ReadNetscapeBookmarks(dir / "out.html")),
              (Lines{"https://a.example/?x=1&y=\"2\" | <東京> & \"大阪\" | "
                     "[京都][a，b][奈良\u3000寺][new york] | "
                     "一行目\n<二行目> | ",
                     "http://b.example/ | 題 |  |  | "}));
}

} // namespace
