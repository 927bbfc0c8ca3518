#include "search/lower_case.h"

#include <clocale>
#include <cwctype>
#include <gtest/gtest.h>

namespace tomorine {
namespace {

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

} // namespace
} // namespace tomorine
