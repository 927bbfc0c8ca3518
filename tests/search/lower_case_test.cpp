#include "search/lower_case.h"

#include <clocale>
#include <cwctype>
#include <gtest/gtest.h>
#include <string>

namespace tomorine {
namespace {

std::u16string Lower(std::u16string_view text) {
    std::u16string lower;
    for (char16_t c : text) {
        lower += LowerChar(c);
    }
    return lower;
}

TEST(LowerChar, LowersEachCoveredScript) {
    struct Case {
        std::u16string_view text;
        std::u16string_view lower;
    };
    for (const Case& c : {
             Case{u"ABCxyz09", u"abcxyz09"},
             Case{u"ÀÉÖØÞ×ß", u"àéöøþ×ß"},
             Case{u"ĀĲĹŁŊŸŹŽİı", u"āĳĺłŋÿźžiı"},
             Case{u"ΑΘΗΝΑ ΆΈΌΏ ς", u"αθηνα άέόώ ς"},
             Case{u"МОСКВА ЁЇЎ", u"москва ёїў"},
             Case{u"ⅠⅫ ⒶⓏ ＡＺ", u"ⅰⅻ ⓐⓩ ａｚ"},
             Case{u"アｱあ漢𠮷", u"アｱあ漢𠮷"},
         }) {
        EXPECT_EQ(Lower(c.text), c.lower);
    }
}

// glibc's towlower in a UTF-8 locale is the peer for every covered block.
TEST(LowerChar, AgreesWithTheCLibraryOverTheCoveredBlocks) {
    if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr) {
        GTEST_SKIP() << "no C.UTF-8 locale";
    }
    struct Block {
        char16_t first;
        char16_t last;
    };
    for (Block block : {Block{0x0000, 0x017F}, Block{0x0386, 0x03AB}, Block{0x0400, 0x04FF},
                        Block{0x2160, 0x217F}, Block{0x24B6, 0x24E9}, Block{0xFF01, 0xFF5E}}) {
        for (char32_t c = block.first; c <= block.last; ++c) {
            EXPECT_EQ(static_cast<wint_t>(LowerChar(static_cast<char16_t>(c))),
                      std::towlower(static_cast<wint_t>(c)))
                << std::hex << static_cast<int>(c);
        }
    }
    std::setlocale(LC_CTYPE, "C");
}

} // namespace
} // namespace tomorine
