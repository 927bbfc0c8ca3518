// The page as a real browser reads it: headless Chromium loads an exported
// page from a file:// URL and the DOM it built is checked (titles, link
// targets, comment rows, and that nothing of the stored texts became markup
// or ran as a script).
#include "htmlexport/html_list_writer.h"
#include "search/search_statement.h"
#include "store/data_connection.h"
#include "store/data_workbook.h"
#include "store/entry_statements.h"
#include "store/table/connection.h"
#include "store/workbook/utf.h"
#include "support/temp_dir.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <set>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

Entry MakeEntry(std::int32_t serial, std::u16string url, std::u16string title,
                std::u16string subtitle, std::u16string comment) {
    Entry e;
    e.serial = serial;
    e.url = std::move(url);
    e.title = std::move(title);
    e.subtitle = std::move(subtitle);
    e.comment = std::move(comment);
    e.keywords = u"キーワード<script>";
    return e;
}

// ASCII as the page shows it: each printable character in its full-width
// form, the space as U+3000.
std::string Wide(std::string_view ascii) {
    std::u16string wide;
    for (char c : ascii) {
        wide += c == ' ' ? u'\u3000' : static_cast<char16_t>(c + 0xFEE0);
    }
    return ToUtf8(wide);
}

const std::u16string kScriptUrl = u"http://x.jp/?a=1&b=\"2\"<3>\"><script>"
                                  u"document.body.setAttribute('ran','url')</script>";
const std::u16string kBookmarklet = u"javascript:document.body.setAttribute('ran','js')";
const std::u16string kOddUrl = u"http://y.jp/𠮷/😀?q=あ\r\nnext\"";

std::vector<Entry> Entries() {
    return {
        MakeEntry(1, u"https://ja.wikipedia.org/wiki/日本語", u"日本語 - ウィキペディア",
                  u"ﾌﾘｰ百科事典", u"言語の記事\r\n二行目 ~"),
        MakeEntry(2, kScriptUrl, u"<script>document.body.setAttribute('ran','title')</script>",
                  u"<img src=x onerror=\"document.body.setAttribute('ran','sub')\">",
                  u"</td></tr></Table><b>bold</b>&amp; &"),
        MakeEntry(3, kBookmarklet, u"ブックマークレット", u"", u""),
        MakeEntry(4, kOddUrl, u"𠮷野家 😀", u"絵文字😀", u"𠮷"),
    };
}

// What the browser parsed of the page exported with or without comments.
json BrowserDom(bool withComments, const fs::path& dir) {
    StoreState state;
    state.DataFilePath = dir / "data.xls";
    Connection connection(state.DataFilePath, NewDataWorkbook());
    for (const Entry& e : Entries()) {
        connection.execute(BuildInsertStatement(e.serial, e));
    }
    connection.close();
    HtmlListRequest request;
    request.statement = BuildSearchStatement(u"");
    request.commentOutput = withComments ? 1 : 0;
    request.outputPath = dir / "お気に入り.htm";
    EXPECT_EQ(WriteHtmlList(state, request).entriesWritten, 4);

    const std::string command = std::string("python3 '") + TOMORINE_BROWSER_DOM + "' '" +
                                request.outputPath.string() + "' '" + TOMORINE_CHROMIUM_FLAGS + "'";
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        out.append(buffer, n);
    }
    EXPECT_EQ(pclose(pipe), 0) << "the browser did not load the page";
    return json::parse(out);
}

std::vector<std::string> LinkTargets(const json& dom) {
    std::vector<std::string> targets;
    for (const json& link : dom["links"]) {
        targets.push_back(link["href"]);
    }
    return targets;
}

// The texts of the cells of one class, in order.
std::vector<std::string> Cells(const json& dom, const std::string& cls) {
    std::vector<std::string> texts;
    for (const json& cell : dom["cells"]) {
        if (cell["class"].is_string() && cell["class"] == cls) {
            texts.push_back(cell["text"]);
        }
    }
    return texts;
}

// Nothing but the page's own elements: no script, image or bold from a text.
void ExpectOnlyThePagesOwnMarkup(const json& dom) {
    EXPECT_EQ(dom["title"], "お気に入りリスト");
    EXPECT_FALSE(dom["body"].contains("ran")) << "a script ran: " << dom["body"].dump();
    const std::set<std::string> allowed = {"html",  "head", "meta", "link",   "style",
                                           "title", "body", "br",   "strong", "table",
                                           "tbody", "tr",   "td",   "a"};
    for (const json& tag : dom["tags"]) {
        EXPECT_TRUE(allowed.contains(tag.get<std::string>())) << tag;
    }
}

const std::vector<std::string> kTitles = {
    "日本語　－　ウィキペディア",
    Wide("<script>document.body.setAttribute('ran','title')</script>"),
    "ブックマークレット",
    "𠮷野家　😀",
};

const std::vector<std::string> kSubtitles = {
    "フリー百科事典",
    Wide("<img src=x onerror=\"document.body.setAttribute('ran','sub')\">"),
    "", // all Null: "<br>"
    "絵文字😀",
};

// The URLs as stored, but that the parser reads a CR LF as one LF.
const std::vector<std::string> kTargets = {
    "https://ja.wikipedia.org/wiki/日本語",
    ToUtf8(kScriptUrl),
    ToUtf8(kBookmarklet),
    "http://y.jp/𠮷/😀?q=あ\nnext\"",
};

TEST(PageInBrowser, WithCommentsEveryEntryHasItsCommentRow) {
    TempDir dir;
    const json dom = BrowserDom(true, dir.path());
    ExpectOnlyThePagesOwnMarkup(dom);
    EXPECT_EQ(LinkTargets(dom), kTargets);
    std::vector<std::string> titles;
    for (const json& link : dom["links"]) {
        titles.push_back(link["text"]);
    }
    EXPECT_EQ(titles, kTitles);
    EXPECT_EQ(Cells(dom, "boxstyle00000"), kTitles);
    EXPECT_EQ(Cells(dom, "boxstyle00001"), kSubtitles);
    EXPECT_EQ(Cells(dom, "boxstyle00002"),
              (std::vector<std::string>{"言語の記事\n二行目　～",
                                        Wide("</td></tr></Table><b>bold</b>&amp; &"), "", "𠮷"}));
}

TEST(PageInBrowser, WithoutCommentsTheSubtitleClosesEachBox) {
    TempDir dir;
    const json dom = BrowserDom(false, dir.path());
    ExpectOnlyThePagesOwnMarkup(dom);
    EXPECT_EQ(LinkTargets(dom), kTargets);
    EXPECT_EQ(Cells(dom, "boxstyle00000"), kTitles);
    EXPECT_EQ(Cells(dom, "boxstyle00001"), std::vector<std::string>{});
    EXPECT_EQ(Cells(dom, "boxstyle00002"), kSubtitles);
}

} // namespace
} // namespace tomorine::test
