#include "store/workbook/cell.h"

#include <gtest/gtest.h>

namespace tomorine {
namespace {

TEST(Cell, IsSixteenBytes) {
    EXPECT_EQ(sizeof(Cell), 16u);
}

TEST(Cell, CopiesAndMovesOwnTheirText) {
    Cell a = Cell::text(u"タイトル");
    Cell b = a;
    Cell c = std::move(a);
    EXPECT_TRUE(a.isEmpty());
    EXPECT_EQ(b.asText(), u"タイトル");
    EXPECT_EQ(c.asText(), u"タイトル");
    b = Cell::number(3);
    EXPECT_EQ(c.asText(), u"タイトル");
    c = c;
    EXPECT_EQ(c.asText(), u"タイトル");
}

TEST(Cell, EqualityComparesKindAndValue) {
    EXPECT_EQ(Cell::number(7), Cell::number(7));
    EXPECT_NE(Cell::number(7), Cell::text(u"7"));
    EXPECT_NE(Cell::text(u""), Cell());
    EXPECT_EQ(Cell::error(0x2A), Cell::error(0x2A));
    EXPECT_NE(Cell::boolean(true), Cell::boolean(false));
}

TEST(Cell, ErrorTexts) {
    EXPECT_EQ(ErrorText(0x07), u"#DIV/0!");
    EXPECT_EQ(ErrorText(0x2A), u"#N/A");
    EXPECT_EQ(ErrorText(0x99), u"#ERR153");
}

TEST(Cell, FormatNumberAsAGeneralCell) {
    EXPECT_EQ(FormatNumber(7), u"7");
    EXPECT_EQ(FormatNumber(-0.0), u"0");
    EXPECT_EQ(FormatNumber(123456), u"123456");
    EXPECT_EQ(FormatNumber(0.5), u"0.5");
    EXPECT_EQ(FormatNumber(1.0 / 3), u"0.333333333333333");
}

} // namespace
} // namespace tomorine
