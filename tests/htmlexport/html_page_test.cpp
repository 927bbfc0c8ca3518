// The text rules of the page (full width, the two escapes, CP932 with
// references for what it cannot hold) and its entry blocks byte for byte,
// read back through glibc's CP932 decoder.
#include "htmlexport/cp932_references.h"
#include "htmlexport/html_page_writer.h"
#include "htmlexport/html_text.h"
#include "search/full_width.h"
#include "store/entry.h"
#include "store/settings/cp932.h"
#include "store/table/recordset.h"
#include "store/workbook/utf.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <map>

namespace tomorine::test {
namespace {

TEST(HtmlText, FullWidthAndEscapes) {
    const struct {
        std::u16string (*rule)(std::u16string_view);
        std::u16string in, out;
    } cases[] = {
        {ToFullWidth, u"a b\t<!~\"'&\\>", u"ａ\u3000ｂ\t＜！～＂＇＆＼＞"},
        {ToFullWidth, u"ｶﾞｷﾞﾊﾟｳﾞｱﾝｰ｡｢｣､･", u"ガギパヴアンー。「」、・"},
        {ToFullWidth, u"ｯﾞﾅﾞﾟﾞ¥¬￩日本😀𠮷", u"ッ゛ナ゛゜゛￥￢←日本😀𠮷"},
        {EscapeAmpersands, u"a?b=1&c=2&amp;\"<>", u"a?b=1&amp;c=2&amp;amp;\"<>"},
        {EscapeLinkTarget, u"?q=1&r=\"><script>", u"?q=1&amp;r=&quot;&gt;&lt;script&gt;"},
        {EscapeLinkTarget, u"javascript:x\r\n 日本", u"javascript:x\r\n 日本"},
        // Converted before the escape: "&" shows as "＆", never as "&amp;amp;".
        {DisplayText, u"A&B&amp;<a href=\"x\">", u"Ａ＆Ｂ＆ａｍｐ；＜ａ\u3000ｈｒｅｆ＝＂ｘ＂＞"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.rule(c.in), c.out) << ToUtf8(c.in);
    }
}

TEST(HtmlText, Cp932BytesAndReferencesForTheRest) {
    const struct {
        std::u16string in;
        std::string readBack; // glibc's reading of the bytes
    } cases[] = {
        {u"ascii <&> \\~\r\n\tお気に入り・ｶﾅ・①・髙", "ascii <&> \\~\r\n\tお気に入り・ｶﾅ・①・髙"},
        {u"😀𠮷野家", "&#128512;&#134071;野家"},
        {u"−€¥\x80", "&#8722;&#8364;&#165;&#128;"}, // "−" would read back as "－"
        {std::u16string(1, u'\xD842') + u"x" + std::u16string(1, u'\xDFB7'), "&#65533;x&#65533;"},
    };
    for (const auto& c : cases) {
        std::string bytes;
        AppendCp932WithReferences(c.in, bytes);
        EXPECT_EQ(Cp932ToUtf8(bytes), c.readBack) << ToUtf8(c.in);
    }
}

std::string Lines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

// The head is the writer's constant; the charset it declares is what matters.
const std::string kCharset =
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=shift_jis\">\r\n";
const std::string kBodyOpen = Lines({"<Table border=\"0\" cellspacing=\"0\" cellpadding=\"0\" "
                                     "summary=\"外枠\">",
                                     "<tr><td>"});

const std::string kFooter = Lines({"</td></tr>", "</Table>", "</body>", "</html>"});

const std::string kBoxOpen = "\t<Table border=\"0\" cellspacing=\"0\" cellpadding=\"3\" "
                             "style=\"width:100%\" summary=\"内容枠\">";
const std::string kBoxClose = Lines(
    {"\t</Table>", "\t<Table summary=\"空枠\">", "\t<tr><td><br></td></tr>", "\t</Table>", ""});

// A result row: the columns it names hold texts, all others are Null.
using PageRow = std::map<std::u16string, std::u16string>;

Recordset PageRows(const std::vector<PageRow>& rows) {
    std::vector<Cell> values;
    for (const PageRow& row : rows) {
        for (const std::u16string& name : EntryColumnNames()) {
            values.push_back(row.contains(name) ? Cell::text(row.at(name)) : Cell());
        }
    }
    return Recordset(EntryColumnNames(), std::move(values));
}

std::string PageText(const std::filesystem::path& path) {
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    return Cp932ToUtf8(std::string(bytes.begin(), bytes.end()));
}

std::string Entry(const std::string& target, const std::string& title,
                  std::initializer_list<std::string> rows) {
    std::string lines = "\t<tr><td class=\"boxstyle00000\"><a href=\"" + target + "\">" + title +
                        "</a></td></tr>\r\n";
    for (const std::string& row : rows) {
        lines += row + "\r\n";
    }
    return kBoxOpen + "\r\n" + lines + kBoxClose;
}

const PageRow kTop = {{u"URL1", u"a.htm"}, {u"タイトル1", u"Top"}, {u"コメント1", u"note"}};

// A Null column adds nothing; a non-Null empty one makes an empty cell, not
// "<br>"; URL chunks join as stored, other chunks' trailing tabs become spaces.
const PageRow kChunks = {{u"URL1", u"http://a.jp/?x=1"},
                         {u"URL3", u"&y=\t"},
                         {u"タイトル2", u"題\t\t"},
                         {u"タイトル3", u"名"},
                         {u"サブタイトル4", u""},
                         {u"コメント2", u"ｺﾒﾝﾄ\r\n2行"},
                         {u"キーワード1", u"秘密のキーワード"}};

TEST(PageBytes, EntryBlocksAndFooter) {
    const struct {
        std::vector<PageRow> rows;
        bool withComments;
        std::string entries;
    } cases[] = {
        {{kTop},
         true,
         Entry("a.htm", "Ｔｏｐ",
               {"\t<tr><td class=\"boxstyle00001\"><br></td></tr>",
                "\t<tr><td class=\"boxstyle00002\">ｎｏｔｅ</td></tr>"})},
        {{kChunks},
         true,
         Entry("http://a.jp/?x=1&amp;y=\t", "題\u3000\u3000名",
               {"\t<tr><td class=\"boxstyle00001\"></td></tr>",
                "\t<tr><td class=\"boxstyle00002\">コメント\r\n２行</td></tr>"})},
    };
    for (const auto& c : cases) {
        TempDir dir;
        Recordset rows = PageRows(c.rows);
        EXPECT_EQ(WriteHtmlPage(rows, {}, c.withComments, dir / "list.htm"),
                  static_cast<int>(c.rows.size()));
        const std::string page = PageText(dir / "list.htm");
        EXPECT_TRUE(page.starts_with("<!DOCTYPE html PUBLIC")) << page;
        EXPECT_NE(page.find(kCharset), std::string::npos) << page;
        EXPECT_TRUE(page.ends_with(kBodyOpen + c.entries + kFooter)) << page;
    }
}

} // namespace
} // namespace tomorine::test
