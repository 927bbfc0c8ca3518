#include "search/contains_all_words.h"
#include "store/workbook/utf.h"

#include <gtest/gtest.h>

namespace tomorine {
namespace {

TEST(ContainsAllWords, FindsEveryWordAfterFolding) {
    struct Case {
        std::u16string field, search;
        bool matches;
    };
    for (const Case& c : {
             // order and case do not matter, every word must be there
             Case{u"xx DEF abc", u"abc def", true},
             Case{u"abc", u"abc def", false},
             // an empty search text never matches, an empty field nothing
             Case{u"abc", u"", false},
             Case{u"", u"", false},
             Case{u"", u"abc", false},
             // full-width and half-width forms find each other
             Case{u"ＡＢＣ１２３", u"abc123", true},
             Case{u"page abc123", u"ＡＢＣ１２３", true},
             Case{u"it's “quoted”", u"it’s \"quoted\"", true},
             Case{u"C:\\dir", u"C:￥dir", true},
             // katakana ア…ン are compared as written
             Case{u"アイウ", u"ｱ", false},
             Case{u"ｱｲｳ", u"ア", false},
             Case{u"ヴァイオリン", u"ヴァイ", true},
             Case{u"ｳｧｲ", u"ヴァ", true},
             Case{u"ひらがな", u"ヒラガナ", false},
             // the full-width space splits words as the half-width one does
             Case{u"abcdef", u"def　abc", true},
             Case{u"abcdef", u"abc　xyz", false},
             Case{u"abc def", u"abc　　def", true},
             // two half-width spaces leave a word with a leading space
             Case{u"abc def", u"abc  def", true},
             Case{u"abcdef", u"abc  def", false},
             // full-width spaces alone give an empty word
             Case{u"x", u"　", true},
             Case{u"", u"　", false},
             // other scripts
             Case{u"ΑΘΗΝΑ", u"αθηνα", true},
             Case{u"Москва", u"МОСКВА", true},
             Case{u"𠮷野家", u"𠮷", true},
             Case{u"日本語の検索", u"検索 日本", true},
             Case{u"日本語", u"日本 英語", false},
             // a short field after a long one: the folded text kept between calls
             Case{u"abcdefgh", u"gh", true},
             Case{u"ab", u"gh", false},
         }) {
        EXPECT_EQ(ContainsAllWords(c.field, c.search), c.matches)
            << ToUtf8(c.field) << " / " << ToUtf8(c.search);
    }
}

} // namespace
} // namespace tomorine
