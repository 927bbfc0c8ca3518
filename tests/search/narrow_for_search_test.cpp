#include "search/narrow_for_search.h"
#include "store/workbook/utf.h"

#include <gtest/gtest.h>
#include <ostream>

namespace tomorine {
namespace {

struct NarrowCase {
    std::u16string text;
    std::u16string narrow;
};

void PrintTo(const NarrowCase& c, std::ostream* out) {
    *out << '[' << ToUtf8(c.text) << ']';
}

class NarrowForSearchTest : public testing::TestWithParam<NarrowCase> {};

TEST_P(NarrowForSearchTest, FoldsToHalfWidth) {
    const NarrowCase& c = GetParam();
    std::u16string narrow = NarrowForSearch(c.text);
    EXPECT_EQ(narrow, c.narrow);
    EXPECT_EQ(narrow.size(), c.text.size());
}

INSTANTIATE_TEST_SUITE_P(
    Characters, NarrowForSearchTest,
    testing::Values(NarrowCase{u"", u""}, NarrowCase{u"ＡＢＣＸＹＺａｂｃｘｙｚ", u"ABCXYZabcxyz"},
                    NarrowCase{u"０１２３４５６７８９", u"0123456789"}, NarrowCase{u"a　b", u"a b"},
                    NarrowCase{u"！＂＃＄％＆＇（）＊＋，－．／：；＜＝＞？＠［＼］＾＿｀｛｜｝～",
                               u"!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~"},
                    NarrowCase{u"￥￠￡￢￣￤￦", u"\\¢£¬~¦₩"}, NarrowCase{u"‘’“”", u"''\"\""},
                    NarrowCase{u"‐−〜", u"--~"},
                    // katakana outside ア…ン; a two-character narrow form keeps its first
                    NarrowCase{u"ァ", u"ｧ"}, NarrowCase{u"ヴ", u"ｳ"}, NarrowCase{u"ヵヶ", u"ｶｹ"},
                    NarrowCase{u"ヷヺ", u"ﾜｦ"}, NarrowCase{u"ヸヹヽヾ", u"ヸヹヽヾ"},
                    // already narrow, or without a narrow form
                    NarrowCase{u"ABC xyz ｱｲｳｧｶﾞ｡｢｣､･ｰﾞﾟ", u"ABC xyz ｱｲｳｧｶﾞ｡｢｣､･ｰﾞﾟ"},
                    NarrowCase{u"ひらがなぁゔ漢字𠮷", u"ひらがなぁゔ漢字𠮷"},
                    NarrowCase{u"¥\\~‾", u"¥\\~‾"},
                    NarrowCase{u"ＵＲＬ：ｈｔｔｐ／／ヴィ", u"URL:http//ｳィ"}));

TEST(NarrowForSearch, LeavesTheUnfoldedSetAsWritten) {
    std::u16string set;
    for (char16_t c = u'ア'; c <= u'ン'; ++c) {
        set += c;
    }
    set += u"「」、。・ー゛゜";
    EXPECT_EQ(NarrowForSearch(set), set);
    for (char16_t c : set) {
        EXPECT_TRUE(IsUnfoldedForSearch(c)) << static_cast<int>(c);
    }
    for (char16_t c : std::u16string_view(u"ァヴヵヶ『』〈〉ｱ")) {
        EXPECT_FALSE(IsUnfoldedForSearch(c)) << static_cast<int>(c);
    }
}

// Each half-width katakana and mark with its full-width form, as Python's
// unicodedata.normalize("NFKC", ...) gives it.
constexpr std::u16string_view HalfWidthKana =
    u"｡｢｣､･ｦｧｨｩｪｫｬｭｮｯｰｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝ";
constexpr std::u16string_view FullWidthKana =
    u"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホ"
    u"マミムメモヤユヨラリルレロワン";

TEST(NarrowForSearch, FoldsKatakanaToTheirHalfWidthFormOnlyOutsideTheSet) {
    ASSERT_EQ(HalfWidthKana.size(), FullWidthKana.size());
    for (size_t i = 0; i < FullWidthKana.size(); ++i) {
        char16_t full = FullWidthKana[i];
        char16_t expected = IsUnfoldedForSearch(full) ? full : HalfWidthKana[i];
        EXPECT_EQ(NarrowChar(full), expected) << static_cast<int>(full);
        EXPECT_EQ(NarrowChar(HalfWidthKana[i]), HalfWidthKana[i]);
    }
}

TEST(NarrowForSearch, MapsTheWholeFullWidthAsciiBlock) {
    for (char16_t c = u'!'; c <= u'~'; ++c) {
        EXPECT_EQ(NarrowChar(static_cast<char16_t>(c + 0xFEE0)), c) << static_cast<int>(c);
        EXPECT_EQ(NarrowChar(c), c);
    }
}

} // namespace
} // namespace tomorine
