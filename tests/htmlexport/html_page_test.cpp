// The page byte for byte, read back through glibc's CP932 decoder: header,
// entry blocks with and without comments, Null groups, footer.
#include "htmlexport/html_page_writer.h"
#include "page_rows.h"
#include "store/settings/cp932.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

std::string Lines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

const std::string kHeader = Lines({
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
    "\"http://www.w3.org/TR/html4/loose.dtd\">",
    "<html lang=\"ja\">",
    "",
    "<head>",
    "<meta http-equiv=\"Content-Style-Type\" content=\"text/css\">",
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=shift_jis\">",
    "<link rel=\"INDEX\"  href=\"index.html\">",
    "<link rev=\"MADE\" href=\"mailto:\">",
    "<style type=\"text/css\">",
    "<!--",
    "\t.boxstyle00000 { text-align:left; border-style:solid; border-color:#000000; "
    "border-width:2px 2px 0px 2px; width:100%; }",
    "\t.boxstyle00001 { text-align:left; border-style:solid; border-color:#000000; "
    "border-width:1.5px 2px 0px 2px; width:100%; }",
    "\t.boxstyle00002 { text-align:left; border-style:solid; border-color:#000000; "
    "border-width:1.5px 2px 2px 2px; width:100%; }",
    "-->",
    "</style>",
    "<title>お気に入りリスト</title></head>",
    "<body>",
    "<br><strong>お気に入りリスト</strong><br>",
    "<Table border=\"0\" cellspacing=\"0\" cellpadding=\"0\" summary=\"外枠\">",
    "<tr><td>",
});

const std::string kFooter = Lines({"</td></tr>", "</Table>", "</body>", "</html>"});

const std::string kBoxOpen = "\t<Table border=\"0\" cellspacing=\"0\" cellpadding=\"3\" "
                             "style=\"width:100%\" summary=\"内容枠\">";
const std::string kBoxClose = Lines(
    {"\t</Table>", "\t<Table summary=\"空枠\">", "\t<tr><td><br></td></tr>", "\t</Table>", ""});

std::string Page(const std::vector<PageRow>& rows, bool withComments, int expectedEntries) {
    TempDir dir;
    Recordset recordset = PageRows(rows);
    EXPECT_EQ(WriteHtmlPage(recordset, {}, withComments, dir / "list.htm"), expectedEntries);
    const std::vector<std::uint8_t> bytes = ReadBytes(dir / "list.htm");
    return Cp932ToUtf8(std::string(bytes.begin(), bytes.end()));
}

const PageRow kTop = {
    {u"URL1", Text(u"a.htm")}, {u"タイトル1", Text(u"Top")}, {u"コメント1", Text(u"note")}};

TEST(PageBytes, TheEntryOfTheExampleWithComments) {
    EXPECT_EQ(Page({kTop}, true, 1),
              kHeader + kBoxOpen + "\r\n" +
                  Lines({"\t<tr><td class=\"boxstyle00000\"><a href=\"a.htm\">Ｔｏｐ</a></td></tr>",
                         "\t<tr><td class=\"boxstyle00001\"><br></td></tr>",
                         "\t<tr><td class=\"boxstyle00002\">ｎｏｔｅ</td></tr>"}) +
                  kBoxClose + kFooter);
}

TEST(PageBytes, TheEntryOfTheExampleWithoutComments) {
    EXPECT_EQ(Page({kTop}, false, 1),
              kHeader + kBoxOpen + "\r\n" +
                  Lines({"\t<tr><td class=\"boxstyle00000\"><a href=\"a.htm\">Ｔｏｐ</a></td></tr>",
                         "\t<tr><td class=\"boxstyle00002\"><br></td></tr>"}) +
                  kBoxClose + kFooter);
}

TEST(PageBytes, NoRowsGiveHeaderAndFooterOnly) {
    EXPECT_EQ(Page({}, true, 0), kHeader + kFooter);
}

// A Null column adds nothing; a group with a non-Null but empty column is an
// empty cell, not "<br>"; URL chunks are joined as stored and every other
// chunk loses its trailing tabs to spaces before the conversion.
TEST(PageBytes, ChunksAndNullGroups) {
    const PageRow row = {{u"URL1", Text(u"http://a.jp/?x=1")},
                         {u"URL3", Text(u"&y=\t")},
                         {u"タイトル2", Text(u"題\t\t")},
                         {u"タイトル3", Text(u"名")},
                         {u"サブタイトル4", Text(u"")},
                         {u"コメント2", Text(u"ｺﾒﾝﾄ\r\n2行")},
                         {u"キーワード1", Text(u"秘密のキーワード")}};
    EXPECT_EQ(Page({row}, true, 1),
              kHeader + kBoxOpen + "\r\n" +
                  Lines({"\t<tr><td class=\"boxstyle00000\"><a href=\"http://a.jp/?x=1&amp;y=\t\">"
                         "題\u3000\u3000名</a></td></tr>",
                         "\t<tr><td class=\"boxstyle00001\"></td></tr>",
                         "\t<tr><td class=\"boxstyle00002\">コメント\r\n２行</td></tr>"}) +
                  kBoxClose + kFooter);
}

TEST(PageBytes, AnEntryWithNoUrlAndNoTextAtAll) {
    EXPECT_EQ(Page({PageRow{}}, true, 1),
              kHeader + kBoxOpen + "\r\n" +
                  Lines({"\t<tr><td class=\"boxstyle00000\"><a href=\"\"></a></td></tr>",
                         "\t<tr><td class=\"boxstyle00001\"><br></td></tr>",
                         "\t<tr><td class=\"boxstyle00002\"><br></td></tr>"}) +
                  kBoxClose + kFooter);
}

// Only the rows that match the search texts are written, in their order.
TEST(PageBytes, RowsThatDoNotMatchAddNothing) {
    const PageRow a = {{u"URL1", Text(u"a")}, {u"タイトル1", Text(u"りんご")}};
    const PageRow b = {{u"URL1", Text(u"b")}, {u"タイトル1", Text(u"みかん")}};
    const PageRow c = {{u"URL1", Text(u"c")}, {u"タイトル1", Text(u"りんごジャム")}};
    TempDir dir;
    Recordset rows = PageRows({a, b, c});
    SearchTexts texts;
    texts.title = u"りんご";
    std::vector<long> progress;
    EXPECT_EQ(WriteHtmlPage(rows, texts, false, dir / "p.htm",
                            [&](long done, long total) {
                                EXPECT_EQ(total, 3);
                                progress.push_back(done);
                            }),
              2);
    EXPECT_EQ(progress, (std::vector<long>{1, 2, 3}));
    const std::vector<std::uint8_t> bytes = ReadBytes(dir / "p.htm");
    const std::string page = Cp932ToUtf8(std::string(bytes.begin(), bytes.end()));
    EXPECT_LT(page.find("href=\"a\""), page.find("href=\"c\""));
    EXPECT_EQ(page.find("href=\"b\""), std::string::npos);
}

} // namespace
} // namespace tomorine::test
