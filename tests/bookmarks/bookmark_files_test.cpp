// The three readers on files in the browsers' own formats, built at run time,
// and the Netscape file written for a browser.
#include "bookmarks/chromium_bookmarks.h"
#include "bookmarks/firefox_bookmarks.h"
#include "bookmarks/netscape_reader.h"
#include "bookmarks/netscape_writer.h"
#include "bounded_run.h"
#include "browser_files.h"
#include "store/workbook/workbook_error.h"
#include "support/temp_dir.h"

#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>

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

using Reader = BrowserBookmarks (*)(const std::filesystem::path&);
struct Hostile {
    const char* what;
    std::function<void(const std::filesystem::path&)> make;
    std::string expected; // read/unreadable/replaced, then the last bookmark's URL, title (or
                          // its size) and the size of its folder path; or "refused"
};

// Each input read in bounded memory and time: what can be read is kept.
void ExpectBounded(Reader read, const char* name, std::vector<Hostile> cases, bool sizeCapped) {
    cases.push_back({"pipe", [](const auto& file) { mkfifo(file.c_str(), 0600); }, "refused"});
    cases.push_back(
        {"endless", [](const auto& file) { symlink("/dev/zero", file.c_str()); }, "refused"});
    if (sizeCapped) {
        cases.push_back({"huge",
                         [](const auto& f) { WriteText(f, ""), truncate(f.c_str(), 1L << 30); },
                         "refused"});
    }
    for (const Hostile& c : cases) {
        TempDir dir;
        c.make(dir / name);
        EXPECT_EQ(Bounded([&] {
                      try {
                          const BrowserBookmarks r = read(dir / name);
                          std::string s = std::to_string(r.bookmarks.size()) + "/" +
                                          std::to_string(r.unreadable) + "/" +
                                          std::to_string(r.replaced);
                          if (!r.bookmarks.empty()) {
                              const BrowserBookmark& b = r.bookmarks.back();
                              s += " " + b.url + " " +
                                   (b.title.size() > 9 ? std::to_string(b.title.size()) : b.title) +
                                   " " + std::to_string(b.folder.path().size());
                          }
                          return s;
                      } catch (const WorkbookError&) {
                          return std::string("refused");
                      }
                  }),
                  c.expected)
            << c.what;
    }
}

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

TEST(HostileInputs, Chromium) {
    const std::string url = R"({"type":"url","name":"t","url":"http://deep/"})";
    const std::string deep =
        Repeat(R"({"type":"folder","name":"d","children":[)", 100000) + url + Repeat("]}", 100000);
    const std::string many = Repeat(url + ",", 420000) + url;
    ExpectBounded(
        ReadChromiumBookmarks, "Bookmarks",
        {{"deep",
          [&](const auto& f) { WriteText(f, ChromiumBookmarksJson("[" + deep + "]", "[]")); },
          "1/0/0 http://deep/ t 2048"},
         {"bad bytes",
          [](const auto& f) {
              WriteText(f,
                        ChromiumBookmarksJson(R"([{"type":"url","url":"http://b/","name":"\ud800)"
                                              "\xff\xc0\"}]",
                                              "[]"));
          },
          "1/0/3 http://b/ \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD 0"},
         {"42 MB",
          [&](const auto& f) { WriteText(f, ChromiumBookmarksJson("[" + many + "]", "[]")); },
          "420001/0/0 http://deep/ t 0"}},
        true);
}

TEST(HostileInputs, Firefox) {
    ExpectBounded(ReadFirefoxBookmarks, "places.sqlite",
                  {{"deep",
                    [](const auto& f) {
                        PlacesFile places(f);
                        places.exec(
                            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                            "WHERE i < 100000) INSERT INTO moz_bookmarks (id, type, parent, "
                            "position, title) SELECT 100 + i, 2, 99 + i - (i = 1) * 97, 0, "
                            "'d' FROM n");
                        places.bookmark(100100, "http://deep/", "t");
                    },
                    "1/0/0 http://deep/ t 2048"},
                   {"cycle",
                    [](const auto& f) {
                        PlacesFile places(f);
                        places.exec("INSERT INTO moz_bookmarks (id, type, parent, position, title) "
                                    "VALUES (50, 2, 51, 0, 'A'), (51, 2, 50, 0, 'B')");
                        places.bookmark(50, "http://cycle/", "c");
                    },
                    "0/3/0"}},
                  false);
}

TEST(HostileInputs, Netscape) {
    const std::string folders = Repeat(R"(<DT><H3>f</H3><DL><DT><A HREF="http://n/">n</A>)", 20000);
    ExpectBounded(
        ReadNetscapeBookmarks, "b.html",
        {{"2 MB of &",
          [](const auto& f) { WriteText(f, "<DL><DT><A HREF=x>" + std::string(2 << 20, '&')); },
          "1/0/0 x 2097152 0"},
         {"deep", [&](const auto& f) { WriteText(f, "<DL>" + folders); },
          "20000/0/0 http://n/ n 2048"}},
        true);
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
