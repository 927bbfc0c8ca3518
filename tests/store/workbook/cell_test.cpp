#include "store/workbook/cell.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <thread>
#include <vector>

namespace tomorine {
namespace {

// Numbers whose bits lie next to the tags that mark the other kinds: a NaN
// read from a file must stay a number, never become a text pointer.
TEST(Cell, EveryDoubleStaysANumber) {
    const std::uint64_t bits[] = {
        0x0000'0000'0000'0000, 0x8000'0000'0000'0000, 0x7FF0'0000'0000'0000, 0xFFF0'0000'0000'0000,
        0x0000'0000'0000'0001, 0x7FEF'FFFF'FFFF'FFFF, 0x7FF8'0000'0000'0000, 0xFFF8'0000'0000'0000,
        0xFFF9'0000'0000'0000, 0xFFFA'0000'1234'5678, 0xFFFB'0000'0000'0001, 0xFFFC'0000'0000'002A,
        0xFFFF'FFFF'FFFF'FFFF, 0x7FF4'0000'0000'0001,
    };
    for (std::uint64_t b : bits) {
        const double value = std::bit_cast<double>(b);
        const Cell cell = Cell::number(value);
        ASSERT_EQ(cell.kind(), CellKind::Number) << std::hex << b;
        EXPECT_TRUE(cell.asText().empty());
        EXPECT_FALSE(cell.asBoolean());
        EXPECT_EQ(cell.errorCode(), 0);
        if (std::isnan(value)) {
            EXPECT_TRUE(std::isnan(cell.asNumber())) << std::hex << b;
        } else {
            EXPECT_EQ(std::bit_cast<std::uint64_t>(cell.asNumber()), b);
        }
    }
}

// Copies made and dropped on several threads at once leave the count right:
// the text is freed once, after the last copy (a sanitizer build sees it).
TEST(Cell, CountsHoldAcrossThreads) {
    const Cell shared = Cell::text(u"共有");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                Cell copy = shared;
                Cell other = copy;
                copy = Cell();
            }
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    EXPECT_EQ(shared.asText(), u"共有");
}

} // namespace
} // namespace tomorine
