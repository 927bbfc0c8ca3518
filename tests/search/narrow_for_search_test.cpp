#include "search/narrow_for_search.h"
#include "store/workbook/utf.h"

#include <gtest/gtest.h>

namespace tomorine {
namespace {

// Katakana outside ア…ン take their half-width form (a two-character one keeps
// its first); the text never changes its length.
TEST(NarrowForSearch, FoldsToHalfWidthInPlace) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"", u""},
        {u"a　b", u"a b"},
        {u"￥￠￡￢￣￤￦", u"\\¢£¬~¦₩"},
        {u"‘’“”‐−〜", u"''\"\"--~"},
        {u"ァヴヵヶヷヺ", u"ｧｳｶｹﾜｦ"},
        {u"ＵＲＬ：ｈｔｔｐ／／ヴィ", u"URL:http//ｳィ"},
        // already narrow, or without a narrow form
        {u"ABC xyz ｱｲｳｧｶﾞ｡｢｣､･ｰﾞﾟ", u"ABC xyz ｱｲｳｧｶﾞ｡｢｣､･ｰﾞﾟ"},
        {u"ヸヹヽヾひらがなぁゔ漢字𠮷¥\\~‾", u"ヸヹヽヾひらがなぁゔ漢字𠮷¥\\~‾"},
    };
    for (const auto& [text, narrow] : cases) {
        EXPECT_EQ(NarrowForSearch(text), narrow) << ToUtf8(text);
    }
    for (char16_t c = u'!'; c <= u'~'; ++c) { // the whole full-width ASCII block
        EXPECT_EQ(NarrowChar(static_cast<char16_t>(c + 0xFEE0)), c) << static_cast<int>(c);
    }
}

TEST(NarrowForSearch, LeavesTheUnfoldedSetAsWritten) {
    std::u16string set = u"「」、。・ー゛゜";
    for (char16_t c = u'ア'; c <= u'ン'; ++c) {
        set += c;
    }
    EXPECT_EQ(NarrowForSearch(set), set);
}

} // namespace
} // namespace tomorine
