// The text rules of the page (full width, the two escapes, CP932 with references for what it cannot
// hold) and its entry rows byte for byte, read back through glibc's CP932 decoder.
#include "htmlexport/cp932_references.h"
#include "htmlexport/html_page_writer.h"
#include "htmlexport/html_text.h"
#include "search/full_width.h"
#include "store/entry.h"
#include "store/settings/cp932.h"
#include "store/table/recordset.h"
#include "store/workbook/utf.h"
#include "support/entry_rows.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

// Cp932: the bytes as glibc's CP932 decoder reads them back.
TEST(HtmlText, FullWidthEscapesAndCp932References) {
    const auto cp932 = [](std::u16string_view in) {
        std::string bytes;
        AppendCp932WithReferences(in, bytes);
        return FromUtf8(Cp932ToUtf8(bytes));
    };
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
        {cp932, u"ascii <&> \\~\r\n\tお気に入り・ｶﾅ・①・髙",
         u"ascii <&> \\~\r\n\tお気に入り・ｶﾅ・①・髙"},
        {cp932, u"😀𠮷野家", u"&#128512;&#134071;野家"},
        {cp932, u"−€¥\x80", u"&#8722;&#8364;&#165;&#128;"}, // "−" would read back as "－"
        {cp932, std::u16string(1, u'\xD842') + u"x" + std::u16string(1, u'\xDFB7'),
         u"&#65533;x&#65533;"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.rule(c.in), c.out) << ToUtf8(c.in);
    }
}

// The head is the writer's constant; the charset it declares is what matters.
const std::string kCharset =
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=shift_jis\">\r\n";

TEST(PageBytes, EntryRows) {
    // An entry's texts, and its rows from the title's cell on.
    const std::pair<Texts, std::string> cases[] = {
        {{{u"URL1", u"a.htm"}, {u"タイトル1", u"Top"}, {u"コメント1", u"note"}},
         "<a href=\"a.htm\">Ｔｏｐ</a></td></tr>\r\n"
         "\t<tr><td class=\"boxstyle00001\"><br></td></tr>\r\n"
         "\t<tr><td class=\"boxstyle00002\">ｎｏｔｅ</td></tr>\r\n\t</Table>"},
        // A Null column adds nothing; a non-Null empty one makes an empty cell, not "<br>"; URL
        // chunks join as stored, other chunks' trailing tabs become spaces.
        {{{u"URL1", u"http://a.jp/?x=1"},
          {u"URL3", u"&y=\t"},
          {u"タイトル2", u"題\t\t"},
          {u"タイトル3", u"名"},
          {u"サブタイトル4", u""},
          {u"コメント2", u"ｺﾒﾝﾄ\r\n2行"},
          {u"キーワード1", u"秘密のキーワード"}},
         "<a href=\"http://a.jp/?x=1&amp;y=\t\">題\u3000\u3000名</a></td></tr>\r\n"
         "\t<tr><td class=\"boxstyle00001\"></td></tr>\r\n"
         "\t<tr><td class=\"boxstyle00002\">コメント\r\n２行</td></tr>\r\n\t</Table>"},
        {{{u"URL1", u" java\tscript:alert(1)"}, {u"タイトル1", u"題"}}, // no link to run
         "題</td></tr>\r\n\t<tr><td class=\"boxstyle00001\"><br></td></tr>\r\n"
         "\t<tr><td class=\"boxstyle00002\"><br></td></tr>\r\n\t</Table>"},
    };
    for (const auto& [texts, block] : cases) {
        const auto row = std::make_shared<const Sheet::Row>(EntryRow(1, texts));
        Recordset rows(EntryColumnNames(), row, {row.get()});
        TempDir dir;
        EXPECT_EQ(WriteHtmlPage(rows, {}, true, dir / "list.htm"), 1);
        const std::string page = Cp932ToUtf8(ReadText(dir / "list.htm"));
        EXPECT_NE(page.find(kCharset), std::string::npos) << page;
        EXPECT_NE(page.find("<tr><td class=\"boxstyle00000\">" + block), std::string::npos) << page;
    }
}

} // namespace
} // namespace tomorine::test
