// Headless Chromium loads an exported page; the DOM it built must hold the titles, link targets and
// comment rows, and nothing of the stored texts may become markup or run as a script.
#include "htmlexport/html_list_writer.h"
#include "search/full_width.h"
#include "store/data_connection.h"
#include "store/workbook/utf.h"
#include "support/entry_rows.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <set>

namespace tomorine::test {
namespace {

using nlohmann::json;

// The full width the page shows, as the page's own text test pins it.
std::string Wide(const std::string& text) {
    return ToUtf8(ToFullWidth(FromUtf8(text)));
}

const std::u16string kScriptUrl = u"http://x.jp/?a=1&b=\"2\"<3>\"><script>"
                                  u"document.body.setAttribute('ran','url')</script>";
const std::u16string kBookmarklet = u"javascript:document.body.setAttribute('ran','js')";
const std::string kScriptTitle = "<script>document.body.setAttribute('ran','title')</script>";
const std::string kScriptSub = "<img src=x onerror=\"document.body.setAttribute('ran','sub')\">";
const std::string kScriptComment = "</td></tr></Table><b>bold</b>&amp; &";

json BrowserDom(bool withComments, const std::filesystem::path& dir) {
    const std::filesystem::path dataFile = dir / "data.xls";
    const std::u16string keywords = u"キーワード<script>";
    WriteEntries(
        dataFile,
        {
            {1, u"https://ja.wikipedia.org/wiki/日本語", u"日本語 - ウィキペディア", u"ﾌﾘｰ百科事典",
             keywords, u"言語の記事\r\n二行目 ~"},
            {2, kScriptUrl, FromUtf8(kScriptTitle), FromUtf8(kScriptSub), keywords,
             FromUtf8(kScriptComment)},
            {3, kBookmarklet, u"ブックマークレット", u"", keywords, u""},
            {4, u"http://y.jp/𠮷/😀?q=あ\r\nnext\"", u"𠮷野家 😀", u"絵文字😀", keywords, u"𠮷"},
        });
    HtmlListRequest request;
    request.searchUrl = u"";
    request.commentOutput = withComments;
    request.outputPath = dir / "お気に入り.htm";
    EXPECT_EQ(WriteHtmlList(dataFile, request).entriesWritten, 4);

    const std::filesystem::path dom = dir / "dom.json";
    const std::string command = std::string("python3 '") + TOMORINE_BROWSER_DOM + "' '" +
                                request.outputPath.string() + "' '" + TOMORINE_CHROMIUM_FLAGS +
                                "' > '" + dom.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << "the browser did not load the page";
    return json::parse(ReadBytes(dom));
}

// One attribute (or "text") of each element with that tag, and class if given.
std::vector<std::string> Of(const json& dom, const std::string& tag, const std::string& key,
                            const char* cls = nullptr) {
    std::vector<std::string> values;
    for (const json& e : dom) {
        if (e["tag"] == tag && (!cls || e["attrs"].value("class", "") == cls)) {
            values.push_back(key == "text" ? e["text"].get<std::string>()
                                           : e["attrs"].value(key, ""));
        }
    }
    return values;
}

TEST(PageInBrowser, ShowsEveryEntryAndRunsNothing) {
    const std::vector<std::string> titles = {"日本語　－　ウィキペディア", Wide(kScriptTitle),
                                             "ブックマークレット", "𠮷野家　😀"};
    const std::vector<std::string> subtitles = {"フリー百科事典", Wide(kScriptSub), "", "絵文字😀"};
    // As stored, but that the parser reads a CR LF as one LF.
    const std::vector<std::string> targets = {"https://ja.wikipedia.org/wiki/日本語",
                                              ToUtf8(kScriptUrl), "http://y.jp/𠮷/😀?q=あ\nnext\""};
    const std::vector<std::string> comments = {"言語の記事\n二行目　～", Wide(kScriptComment), "",
                                               "𠮷"};
    const std::set<std::string> allowed = {"html",  "head", "meta", "link",   "style",
                                           "title", "body", "br",   "strong", "table",
                                           "tbody", "tr",   "td",   "a"};
    for (const bool withComments : {true, false}) {
        SCOPED_TRACE(withComments);
        TempDir dir;
        const json dom = BrowserDom(withComments, dir.path());
        EXPECT_EQ(Of(dom, "body", "ran"), std::vector<std::string>{""}) << "a script ran";
        for (const json& e : dom) {
            EXPECT_TRUE(allowed.contains(e["tag"].get<std::string>())) << e["tag"];
        }
        EXPECT_EQ(Of(dom, "a", "href"), targets);
        EXPECT_EQ(Of(dom, "a", "text"), (std::vector{titles[0], titles[1], titles[3]}))
            << "a bookmarklet is plain text";
        EXPECT_EQ(Of(dom, "td", "text", "boxstyle00000"), titles);
        EXPECT_EQ(Of(dom, "td", "text", "boxstyle00001"),
                  withComments ? subtitles : std::vector<std::string>{});
        EXPECT_EQ(Of(dom, "td", "text", "boxstyle00002"), withComments ? comments : subtitles);
    }
}

} // namespace
} // namespace tomorine::test
