// The three readers on files in the browsers' own formats, built at run time,
// and the Netscape file written for a browser.
#include "bookmarks/chromium_bookmarks.h"
#include "bookmarks/firefox_bookmarks.h"
#include "bookmarks/netscape_reader.h"
#include "bookmarks/netscape_writer.h"
#include "browser_files.h"
#include "store/workbook/workbook_error.h"
#include "support/bounded_run.h"
#include "support/hostile_files.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

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

// A Chromium "Bookmarks" file of the bar's and the other folder's children (JSON arrays).
std::string ChromiumBookmarksJson(const std::string& bar, const std::string& other) {
    return R"({"checksum":"0","roots":{"bookmark_bar":{"children":)" + bar +
           R"(,"name":"Bookmarks bar","type":"folder"},"other":{"children":)" + other +
           R"(,"name":"Other bookmarks","type":"folder"},"synced":{"children":[],)"
           R"("name":"Mobile bookmarks","type":"folder"}},"version":1})";
}

std::string Repeat(const std::string& text, int times) {
    std::string out;
    while (times-- > 0) {
        out += text;
    }
    return out;
}

// Reads `file` in a child bounded in memory and time. `expected`: "read/unreadable/replaced
// last-URL last-title-or-its-size folder-path-size", or "refused" for a WorkbookError naming it.
void ExpectRead(BrowserBookmarks (*read)(const std::filesystem::path&),
                const std::filesystem::path& file, const std::string& expected) {
    ExpectWithinBounds([&] {
        std::string s = "refused";
        try {
            const BrowserBookmarks r = read(file);
            s = std::to_string(r.bookmarks.size()) + "/" + std::to_string(r.unreadable) + "/" +
                std::to_string(r.replaced);
            if (const BrowserBookmark* b = r.bookmarks.empty() ? nullptr : &r.bookmarks.back()) {
                s += " " + b->url + " " +
                     (b->title.size() > 9 ? std::to_string(b->title.size()) : b->title) + " " +
                     std::to_string(b->folder.path().size());
            }
        } catch (const WorkbookError& e) {
            EXPECT_NE(std::string(e.what()).find(file.filename().string()), std::string::npos);
        }
        EXPECT_EQ(s, expected) << file;
    });
}

// Deep, cyclic, huge, endless and broken inputs: what can be read is kept.
TEST(BookmarkReaders, HostileInputsAreReadWithinBounds) {
    const std::string url = R"({"type":"url","name":"t","url":"http://deep/"})";
    auto json = [](const std::string& bar) { return ChromiumBookmarksJson("[" + bar + "]", "[]"); };
    const std::string deepPlace = "INSERT INTO moz_places (id, url) VALUES (1, 'http://deep/');"
                                  "INSERT INTO moz_bookmarks (type, fk, parent, title) VALUES "
                                  "(1, 1, 100100, 't'), (1, 1, 50, 'c');";
    const struct {
        BrowserBookmarks (*read)(const std::filesystem::path&);
        std::string input, expected;
    } cases[] = {
        {ReadChromiumBookmarks,
         json(Repeat(R"({"type":"folder","name":"d","children":[)", 100000) + url +
              Repeat("]}", 100000)),
         "1/0/0 http://deep/ t 2048"},
        {ReadChromiumBookmarks,
         json(R"({"type":"url","url":"http://b/","name":"\ud800)"
              "\xff\xc0\"}"),
         "1/0/3 http://b/ \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD 0"},
        {ReadChromiumBookmarks, json(Repeat(url + ",", 420000) + url),
         "420001/0/0 http://deep/ t 0"},
        {ReadFirefoxBookmarks,
         "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
         "INSERT INTO moz_bookmarks (id, type, parent, title) SELECT 100 + i, 2, "
         "99 + i - (i = 1) * 97, 'd' FROM n;" +
             deepPlace,
         "1/0/0 http://deep/ t 2048"},
        {ReadFirefoxBookmarks,
         "INSERT INTO moz_bookmarks (id, type, parent) VALUES (50, 2, 51), (51, 2, 50);" +
             deepPlace,
         "0/3/0"},
        {ReadNetscapeBookmarks, "<DL><DT><A HREF=x>" + std::string(2 << 20, '&'),
         "1/0/0 x 2097152 0"},
        {ReadNetscapeBookmarks,
         "<DL>" + Repeat(R"(<DT><H3>f</H3><DL><DT><A HREF="x">n</A>)", 20000),
         "20000/0/0 x n 2048"},
    };
    auto name = [](auto read) {
        return read == ReadFirefoxBookmarks    ? "places.sqlite"
               : read == ReadChromiumBookmarks ? "Bookmarks"
                                               : "b.html";
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::filesystem::path file = dir / name(c.read);
        c.read == ReadFirefoxBookmarks ? PlacesFile(file).exec(c.input) : WriteText(file, c.input);
        ExpectRead(c.read, file, c.expected);
    }
    for (auto read : {ReadChromiumBookmarks, ReadNetscapeBookmarks, ReadFirefoxBookmarks}) {
        TempDir dir;
        ExpectRead(read, dir / name(read), "refused"); // missing
        WriteText(dir / name(read), "not a database at all, just text");
        ExpectRead(read, dir / name(read), "refused");
        // The copy of a huge places.sqlite is the history copy's to refuse.
        for (Hostile kind : kHostileKinds) {
            TempDir other;
            if (read != ReadFirefoxBookmarks || kind != Hostile::Huge) {
                MakeHostile(kind, other / name(read), 1 << 30);
                ExpectRead(read, other / name(read), "refused");
            }
        }
    }
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
    const std::pair<std::string, Lines> cases[] = {
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
    for (const auto& [bytes, expected] : cases) {
        EXPECT_EQ(Describe(ParseNetscapeBookmarks(bytes, "b.html")), expected) << bytes;
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
    const std::string script =
        NetscapeBookmarkHtml({{3, u"JavaScript:alert(1)", u"js", u"", u"", u""}});
    EXPECT_NE(script.find("<DT>js\n"), std::string::npos) << script; // no link to run
}

} // namespace
