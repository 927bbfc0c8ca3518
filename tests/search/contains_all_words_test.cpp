#include "search/contains_all_words.h"
#include "store/workbook/utf.h"

#include <gtest/gtest.h>
#include <ostream>

namespace tomorine {
namespace {

struct MatchCase {
    std::u16string field;
    std::u16string search;
    bool matches;
};

void PrintTo(const MatchCase& c, std::ostream* out) {
    *out << '[' << ToUtf8(c.field) << "] [" << ToUtf8(c.search) << ']';
}

class ContainsAllWordsTest : public testing::TestWithParam<MatchCase> {};

TEST_P(ContainsAllWordsTest, TestsEveryWord) {
    const MatchCase& c = GetParam();
    EXPECT_EQ(ContainsAllWords(c.field, c.search), c.matches);
}

INSTANTIATE_TEST_SUITE_P(
    Words, ContainsAllWordsTest,
    testing::Values(
        // order and case do not matter, every word must be there
        MatchCase{u"xx DEF abc", u"abc def", true}, MatchCase{u"abc", u"abc def", false},
        MatchCase{u"abcdef", u"xyz", false}, MatchCase{u"ab", u"abc", false},
        // an empty search text never matches, not even an empty field
        MatchCase{u"abc", u"", false}, MatchCase{u"", u"", false},
        // full-width and half-width letters and digits find each other
        MatchCase{u"ＡＢＣ１２３", u"abc123", true},
        MatchCase{u"page abc123", u"ＡＢＣ１２３", true}, MatchCase{u"ａｂｃ", u"ABC", true},
        MatchCase{u"Ｔｏｋｙｏ", u"ｔＯＫＹＯ", true},
        MatchCase{u"it's “quoted”", u"it’s \"quoted\"", true},
        MatchCase{u"C:\\dir", u"C:￥dir", true},
        // katakana ア…ン are compared as written
        MatchCase{u"アイウ", u"ｱ", false}, MatchCase{u"ｱｲｳ", u"ア", false},
        MatchCase{u"アイウ", u"イウ", true}, MatchCase{u"ヴァイオリン", u"ヴァイ", true},
        MatchCase{u"ｳｧｲ", u"ヴァ", true}, MatchCase{u"ひらがな", u"ヒラガナ", false},
        // the full-width space splits words as the half-width one does
        MatchCase{u"abcdef", u"def　abc", true}, MatchCase{u"abcdef", u"abc　xyz", false},
        MatchCase{u"abc def", u"abc　def", true}, MatchCase{u"abc def", u"abc　　def", true},
        // two half-width spaces leave a word with a leading space
        MatchCase{u"abc def", u"abc  def", true}, MatchCase{u"abcdef", u"abc  def", false},
        // a text of full-width spaces gives an empty word
        MatchCase{u"x", u"　", true}, MatchCase{u"", u"　", false}, MatchCase{u"", u"abc", false},
        // other scripts
        MatchCase{u"ΑΘΗΝΑ", u"αθηνα", true}, MatchCase{u"Москва", u"МОСКВА", true},
        MatchCase{u"Ça va", u"ça", true}, MatchCase{u"𠮷野家", u"𠮷", true},
        MatchCase{u"日本語の検索", u"検索 日本", true}, MatchCase{u"日本語", u"日本 英語", false}));

// The folded field text is kept between calls; a short field must not see
// what a longer one left behind.
TEST(ContainsAllWords, FoldsEachFieldAfresh) {
    EXPECT_TRUE(ContainsAllWords(u"abcdefgh", u"gh"));
    EXPECT_FALSE(ContainsAllWords(u"ab", u"gh"));
    EXPECT_FALSE(ContainsAllWords(u"", u"a"));
    EXPECT_TRUE(ContainsAllWords(u"xa", u"a"));
}

TEST(ContainsAllWords, FindsWordsInLongTexts) {
    std::u16string field(1999, u'あ');
    field += u'Ｚ';
    EXPECT_TRUE(ContainsAllWords(field, u"あz"));
    EXPECT_FALSE(ContainsAllWords(field, u"zあ"));
}

} // namespace
} // namespace tomorine
