// The text rules of the page: full width, the two escapes, CP932 with
// references for what it cannot hold.
#include "htmlexport/cp932_references.h"
#include "htmlexport/full_width.h"
#include "htmlexport/html_text.h"
#include "store/settings/cp932.h"
#include "store/workbook/utf.h"

#include <gtest/gtest.h>

namespace tomorine {
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
    std::string bytes;
    AppendCp932WithReferences(u"日ｱ", bytes);
    EXPECT_EQ(bytes, "\x93\xfa\xb1");
}

} // namespace
} // namespace tomorine
