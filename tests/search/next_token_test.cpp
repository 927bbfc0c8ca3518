#include "search/next_token.h"
#include "store/workbook/utf.h"

#include <gtest/gtest.h>
#include <ostream>
#include <vector>

namespace tomorine {
namespace {

struct TokenCase {
    std::u16string text;
    std::u16string word;
    std::u16string rest;
};

void PrintTo(const TokenCase& c, std::ostream* out) {
    *out << '[' << ToUtf8(c.text) << ']';
}

class NextTokenTest : public testing::TestWithParam<TokenCase> {};

TEST_P(NextTokenTest, CutsOneWord) {
    const TokenCase& c = GetParam();
    std::u16string text = c.text;
    EXPECT_EQ(NextToken(text, WordDelimiters), c.word);
    EXPECT_EQ(text, c.rest);
}

INSTANTIATE_TEST_SUITE_P(
    SearchDelimiters, NextTokenTest,
    testing::Values(TokenCase{u"abc def", u"abc", u"def"}, TokenCase{u"def", u"def", u""},
                    TokenCase{u"abc ", u"abc", u""}, TokenCase{u" abc def", u"abc", u"def"},
                    TokenCase{u"abc  def", u"abc", u" def"},
                    // the full-width space's skip (1) replaces the space's
                    TokenCase{u" def", u" def", u""}, TokenCase{u"", u"", u""},
                    TokenCase{u"abc　def", u"abc", u"def"},
                    // the nearer delimiter ends the word, whichever kind it is
                    TokenCase{u"abc def　ghi", u"abc", u"def　ghi"},
                    TokenCase{u"abc　def ghi", u"abc", u"def ghi"},
                    TokenCase{u"　abc", u"abc", u""},
                    // only full-width spaces: an empty word
                    TokenCase{u"　", u"", u""}, TokenCase{u"　　", u"", u""},
                    // only half-width spaces: the full-width space's skip keeps them
                    TokenCase{u" ", u" ", u""}, TokenCase{u"  abc", u"  abc", u""},
                    TokenCase{u" 　abc", u" ", u"abc"}));

TEST(NextToken, LeavesTextAloneWithoutDelimiters) {
    std::u16string text = u"abc def";
    EXPECT_EQ(NextToken(text, u""), u"");
    EXPECT_EQ(text, u"abc def");
}

TEST(NextToken, TakesAnyDelimiterSet) {
    std::u16string text = u"a,b;c";
    EXPECT_EQ(NextToken(text, u";,"), u"a");
    EXPECT_EQ(text, u"b;c");
    EXPECT_EQ(NextToken(text, u";,"), u"b");
    EXPECT_EQ(NextToken(text, u";,"), u"c");
    EXPECT_EQ(text, u"");
}

TEST(NextToken, SplitsWholeSearchTexts) {
    struct Case {
        std::u16string text;
        std::vector<std::u16string> words;
    };
    for (const Case& c : std::vector<Case>{
             {u"abc def", {u"abc", u"def"}},
             {u"abc  def", {u"abc", u" def"}},
             {u"abc　def ghi", {u"abc", u"def", u"ghi"}},
             {u"abc　　def", {u"abc", u"def"}},
             {u"abc　　", {u"abc", u""}},
             {u"http://example.jp/a?b=c", {u"http://example.jp/a?b=c"}},
         }) {
        std::u16string text = c.text;
        std::vector<std::u16string> words;
        while (!text.empty() && words.size() < 10) {
            words.push_back(NextToken(text, WordDelimiters));
        }
        EXPECT_EQ(words, c.words);
    }
}

} // namespace
} // namespace tomorine
