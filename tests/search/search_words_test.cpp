// The search's word rules: cutting, folding to half width and lower case, and matching every word.
#include "search/contains_all_words.h"
#include "search/lower_case.h"
#include "search/narrow_for_search.h"
#include "search/next_token.h"
#include "store/workbook/utf.h"

#include <clocale>
#include <cwctype>
#include <gtest/gtest.h>

namespace tomorine {
namespace {

TEST(NextToken, CutsOneWordAsTheSearchSplitsIt) {
    struct Case {
        std::u16string text, word, rest;
    };
    for (const Case& c : {
             Case{u"abc def", u"abc", u"def"},
             Case{u" abc def", u"abc", u"def"},
             Case{u"abc  def", u"abc", u" def"}, // two half-width spaces
             Case{u" def", u" def", u""}, // the full-width space's skip (none) replaces the space's
             Case{u"", u"", u""},
             Case{u"abc　def", u"abc", u"def"},
             Case{u"abc def　ghi", u"abc", u"def　ghi"}, // the nearer delimiter ends the word
             Case{u"abc　def ghi", u"abc", u"def ghi"},
             Case{u"　abc", u"abc", u""},
             Case{u"　　", u"", u""},       // only full-width spaces: an empty word
             Case{u"  abc", u"  abc", u""}, // only half-width spaces stay in the word
             Case{u" 　abc", u" ", u"abc"},
         }) {
        std::u16string text = c.text;
        EXPECT_EQ(NextToken(text, WordDelimiters), c.word) << ToUtf8(c.text);
        EXPECT_EQ(text, c.rest) << ToUtf8(c.text);
    }
}

// Katakana outside ア…ン take their half-width form (a two-character one keeps
// its first); the text never changes its length.
TEST(NarrowForSearch, FoldsToHalfWidthInPlace) {
    std::u16string unfolded =
        u"ABC xyz 「」、。・ー゛゜ヸヹヽヾひらがなぁゔ漢字𠮷¥\\~‾ｱｧｶﾞ｡｢｣､･ｰﾞﾟ";
    for (char16_t c = u'ア'; c <= u'ン'; ++c) {
        unfolded += c;
    }
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"a　b", u"a b"},
        {u"￥￠￡￢￣￤￦", u"\\¢£¬~¦₩"},
        {u"ァヴヵヶヷヺ", u"ｧｳｶｹﾜｦ"},
        {unfolded, unfolded},
    };
    for (const auto& [text, narrow] : cases) {
        EXPECT_EQ(NarrowForSearch(text), narrow) << ToUtf8(text);
    }
    for (char16_t c = u'!'; c <= u'~'; ++c) { // the whole full-width ASCII block
        EXPECT_EQ(NarrowChar(static_cast<char16_t>(c + 0xFEE0)), c) << static_cast<int>(c);
    }
}

// glibc's towlower in a UTF-8 locale is the peer for every covered block.
TEST(LowerChar, AgreesWithTheCLibraryOverTheCoveredBlocks) {
    if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr) {
        GTEST_SKIP() << "no C.UTF-8 locale";
    }
    for (auto [first, last] : {std::pair{0x0000, 0x017F},
                               {0x0386, 0x03AB},
                               {0x0400, 0x04FF},
                               {0x2160, 0x217F},
                               {0x24B6, 0x24E9},
                               {0xFF01, 0xFF5E}}) {
        for (int c = first; c <= last; ++c) {
            EXPECT_EQ(static_cast<wint_t>(LowerChar(static_cast<char16_t>(c))),
                      std::towlower(static_cast<wint_t>(c)))
                << std::hex << c;
        }
    }
    EXPECT_EQ(LowerChar(u'ア'), u'ア'); // and leaves what it does not cover
    std::setlocale(LC_CTYPE, "C");
}

TEST(ContainsAllWords, FindsEveryWordAfterFolding) {
    struct Case {
        std::u16string field, search;
        bool matches;
    };
    for (const Case& c : {
             // order and case do not matter, every word must be there
             Case{u"xx DEF abc", u"abc def", true},
             Case{u"xx DEF", u"def abc", false},
             Case{u"abc", u"", false}, // an empty search text never matches
             Case{u"it's “quoted”", u"it’s \"quoted\"", true},
             // katakana ア…ン are compared as written; half-width katakana
             // take the full-width form, a sound mark joining its letter
             Case{u"アイウ", u"ｱ", true},
             Case{u"ｶﾞｲﾄﾞ", u"ガイド", true},
             Case{u"ｶﾞｲﾄﾞ", u"カイ", false},
             Case{u"ｳｧｲ", u"ヴァ", true},
             // the full-width space splits words as the half-width one does
             Case{u"abcdef", u"def　abc", true},
             // full-width spaces alone give an empty word
             Case{u"x", u"　", true},
             Case{u"𠮷野家", u"𠮷", true},
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
