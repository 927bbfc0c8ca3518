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

TEST(Cell, KindsKeepTheirValuesAndCompareAsBefore) {
    EXPECT_TRUE(Cell().isEmpty());
    EXPECT_EQ(Cell().kind(), CellKind::Empty);
    EXPECT_EQ(Cell::boolean(true).kind(), CellKind::Boolean);
    EXPECT_TRUE(Cell::boolean(true).asBoolean());
    EXPECT_FALSE(Cell::boolean(false).asBoolean());
    for (int code : {0x00, 0x07, 0x2A, 0xFF}) {
        const Cell e = Cell::error(static_cast<std::uint8_t>(code));
        EXPECT_EQ(e.kind(), CellKind::Error);
        EXPECT_EQ(e.errorCode(), code);
        EXPECT_EQ(e.asNumber(), 0.0);
    }
    EXPECT_EQ(Cell::number(0.0), Cell::number(-0.0));
    EXPECT_NE(Cell::number(NAN), Cell::number(NAN));
    EXPECT_NE(Cell::number(0), Cell());
    EXPECT_NE(Cell::number(0), Cell::boolean(false));
    EXPECT_NE(Cell::error(0), Cell::boolean(false));
    EXPECT_NE(Cell::text(u""), Cell());
    EXPECT_EQ(Cell::text(u"𠮷野家"), Cell::text(u"𠮷野家"));
    EXPECT_NE(Cell::text(u"a"), Cell::text(u"A"));
}

TEST(Cell, TextsAreSharedByCopiesAndOutliveTheOriginal) {
    const std::u16string long_(40000, u'あ');
    std::vector<Cell> copies;
    {
        Cell original = Cell::text(long_);
        copies.assign(3, original);
        Cell moved = std::move(original);
        EXPECT_TRUE(original.isEmpty());
        EXPECT_EQ(moved.asText().data(), copies[0].asText().data());
        copies[1] = moved;
        copies[1] = copies[1];
    }
    for (const Cell& c : copies) {
        EXPECT_EQ(c.asText(), long_);
    }
    copies[2] = Cell::number(1);
    EXPECT_EQ(copies[0].asText().size(), 40000u);
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
