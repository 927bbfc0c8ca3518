#include "search/next_token.h"
#include "store/workbook/utf.h"

#include <gtest/gtest.h>

namespace tomorine {
namespace {

TEST(NextToken, CutsOneWordAsTheSearchSplitsIt) {
    struct Case {
        std::u16string text, word, rest;
    };
    for (const Case& c : {
             Case{u"abc def", u"abc", u"def"},
             Case{u"def", u"def", u""},
             Case{u"abc ", u"abc", u""},
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

} // namespace
} // namespace tomorine
