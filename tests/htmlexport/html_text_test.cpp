// The text rules of the page: full-width display text, the ampersand and
// link-target escapes, and CP932 with references for what it cannot hold.
#include "htmlexport/cp932_references.h"
#include "htmlexport/full_width.h"
#include "htmlexport/html_text.h"
#include "store/settings/cp932.h"
#include "store/workbook/utf.h"

#include <gtest/gtest.h>

namespace tomorine {
namespace {

struct Case {
    std::u16string in;
    std::u16string out;
};

TEST(FullWidth, TakesTheWideFormOfEveryCharacterThatHasOne) {
    const Case cases[] = {
        {u"", u""},
        {u"Top", u"Ｔｏｐ"},
        {u"<b>new</b>", u"＜ｂ＞ｎｅｗ＜／ｂ＞"},
        {u"a b\t", u"ａ\u3000ｂ\t"},
        {u"!~\"'&\\", u"！～＂＇＆＼"},
        {u"ｶﾞｷﾞﾊﾟﾎﾟｳﾞﾊﾞ", u"ガギパポヴバ"},
        {u"ｱｲｳｴｵﾝｰ｡｢｣､･", u"アイウエオンー。「」、・"},
        {u"ｯﾞﾅﾞﾟﾞ", u"ッ゛ナ゛゜゛"}, // marks that join nothing stand alone
        {u"¥¢£¬￨￩", u"￥￠￡￢│←"},
        {u"日本語、ｶﾅ混じり", u"日本語、カナ混じり"},
        {u"😀𠮷\r\n", u"😀𠮷\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToFullWidth(c.in), c.out) << ToUtf8(c.in);
    }
}

TEST(Escapes, AmpersandsOnceAndLinkTargetsSafeInTheirAttribute) {
    const Case ampersands[] = {
        {u"", u""},
        {u"a?b=1&c=2&d=3", u"a?b=1&amp;c=2&amp;d=3"},
        {u"&&", u"&amp;&amp;"},
        {u"&amp;", u"&amp;amp;"},
        {u"\"<>", u"\"<>"},
    };
    for (const Case& c : ampersands) {
        EXPECT_EQ(EscapeAmpersands(c.in), c.out) << ToUtf8(c.in);
    }
    const Case targets[] = {
        {u"http://a.jp/?q=1&r=2", u"http://a.jp/?q=1&amp;r=2"},
        {u"\"><script>x</script>", u"&quot;&gt;&lt;script&gt;x&lt;/script&gt;"},
        {u"javascript:alert(1)", u"javascript:alert(1)"},
        {u"a\r\nb 日本", u"a\r\nb 日本"},
    };
    for (const Case& c : targets) {
        EXPECT_EQ(EscapeLinkTarget(c.in), c.out) << ToUtf8(c.in);
    }
}

// Converting first: an "&" of a title is shown as "＆", never as a reference
// (whatever the browser makes of it) nor as "&amp;amp;".
TEST(DisplayText, NeverLeavesAnAsciiAmpersandOrMarkup) {
    for (std::u16string text :
         {u"A&B", u"&amp;", u"&#60;", u"<a href=\"x\">&lt;", u"ﾃｽﾄ & \"q\""}) {
        const std::u16string shown = DisplayText(text);
        EXPECT_EQ(shown.find_first_of(u"&<>\""), std::u16string::npos) << ToUtf8(shown);
    }
    EXPECT_EQ(DisplayText(u"A&B&amp;"), u"Ａ＆Ｂ＆ａｍｐ；");
}

std::string Encoded(std::u16string_view text) {
    std::string out;
    AppendCp932WithReferences(text, out);
    return out;
}

TEST(Cp932References, BytesForWhatCp932HoldsReferencesForTheRest) {
    const struct {
        std::u16string in;
        std::string readBack; // glibc's reading of the bytes, as UTF-8
    } cases[] = {
        {u"ascii <&> \\~\r\n\t", "ascii <&> \\~\r\n\t"},
        {u"お気に入りリスト・ｶﾅ・①・髙", "お気に入りリスト・ｶﾅ・①・髙"},
        {u"😀", "&#128512;"},
        {u"𠮷野家", "&#134071;野家"},
        {u"−", "&#8722;"}, // would read back as "－"
        {u"€", "&#8364;"},
        {u"¥", "&#165;"},
        {std::u16string(1, u'\xD842') + u"x", "&#65533;x"},
        {std::u16string(1, u'\xDFB7'), "&#65533;"},
        {std::u16string(1, u'\x80'), "&#128;"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Cp932ToUtf8(Encoded(c.in)), c.readBack) << ToUtf8(c.in);
    }
    EXPECT_EQ(Encoded(u"日本"), "\x93\xfa\x96\x7b");
    EXPECT_EQ(Encoded(u"ｱ"), "\xb1");
}

} // namespace
} // namespace tomorine
