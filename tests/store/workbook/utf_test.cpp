#include "store/workbook/utf.h"

#include <gtest/gtest.h>

namespace tomorine {
namespace {

TEST(Utf, RoundTripsJapaneseAndSurrogatePairs) {
    const std::u16string text = u"トモリネ ｱｲｳ 漢字 𠮷 é\t\r\n";
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(ToUtf8(u"削除"), "削除");
}

struct BadUtf8 {
    const char* name;
    std::string bytes;
    std::u16string expected;
};

class Utf8Invalid : public testing::TestWithParam<BadUtf8> {};

TEST_P(Utf8Invalid, BecomesReplacementCharacter) {
    EXPECT_EQ(FromUtf8(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, Utf8Invalid,
                         testing::Values(BadUtf8{"truncated", "a\xE3\x83", u"a\uFFFD\uFFFD"},
                                         BadUtf8{"lone continuation", "\x80z", u"\uFFFDz"},
                                         BadUtf8{"overlong", "\xC0\xAF", u"\uFFFD\uFFFD"},
                                         BadUtf8{"encoded surrogate", "\xED\xA0\x80",
                                                 u"\uFFFD\uFFFD\uFFFD"}),
                         [](const auto& info) {
                             std::string n = info.param.name;
                             for (char& c : n) {
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return n;
                         });

TEST(Utf, LoneSurrogateBecomesReplacementCharacter) {
    EXPECT_EQ(ToUtf8(std::u16string(1, u'\xD800') + u"x"), "\xEF\xBF\xBDx");
}

} // namespace
} // namespace tomorine
