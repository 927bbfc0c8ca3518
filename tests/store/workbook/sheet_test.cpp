#include "store/workbook/sheet.h"
#include "store/workbook/workbook_error.h"

#include <gtest/gtest.h>

namespace tomorine {
namespace {

Sheet::Row Serials(int serial) {
    return {Cell::number(serial), Cell::text(u"url")};
}

TEST(Sheet, CellsOutsideTheUsedRangeAreEmpty) {
    Sheet s(u"トモリネ");
    s.setCell(2, 3, Cell::text(u"x"));
    EXPECT_EQ(s.lastUsedRow(), 2);
    EXPECT_EQ(s.lastUsedColumn(), 3);
    EXPECT_TRUE(s.cell(1, 1).isEmpty());
    EXPECT_TRUE(s.cell(2, 4).isEmpty());
    EXPECT_TRUE(s.cell(99, 1).isEmpty());
    EXPECT_TRUE(s.cell(0, 0).isEmpty());
    EXPECT_EQ(s.cell(2, 3).asText(), u"x");
}

TEST(Sheet, ClearingTheLastCellsShrinksTheUsedRange) {
    Sheet s(u"s");
    s.setCell(1, 1, Cell::number(1));
    s.setCell(5, 2, Cell::number(2));
    s.setCell(5, 2, Cell());
    EXPECT_EQ(s.lastUsedRow(), 1);
    EXPECT_EQ(s.lastUsedColumn(), 1);
}

TEST(Sheet, PositionsBeyondTheFormatAreRefused) {
    Sheet s(u"s");
    EXPECT_NO_THROW(s.setCell(Sheet::MaxRows, Sheet::MaxColumns, Cell::number(1)));
    for (auto [row, col] : {std::pair{Sheet::MaxRows + 1, 1}, {1, Sheet::MaxColumns + 1}, {0, 1}}) {
        try {
            s.setCell(row, col, Cell::number(1));
            ADD_FAILURE() << row << "," << col;
        } catch (const WorkbookError& e) {
            EXPECT_EQ(e.number(), ErrorNumber::SheetRule);
        }
    }
}

TEST(Sheet, FindInColumn1MatchesWholeValuesOnly) {
    Sheet s(u"s");
    s.appendRow({Cell::text(u"シリアル番号")});
    s.appendRow(Serials(0));
    s.appendRow(Serials(12));
    s.appendRow(Serials(2));
    s.appendRow(Serials(1));
    EXPECT_EQ(s.findInColumn1(Cell::number(2)), 4);
    EXPECT_EQ(s.findInColumn1(Cell::number(1)), 5);
    EXPECT_EQ(s.findInColumn1(Cell::number(3)), 0);
    EXPECT_EQ(s.findInColumn1(Cell::text(u"2")), 0);
}

TEST(Sheet, DeleteRowMovesTheRowsBelowUp) {
    Sheet s(u"s");
    for (int i = 1; i <= 4; ++i) {
        s.appendRow(Serials(i));
    }
    s.deleteRow(2);
    EXPECT_EQ(s.lastUsedRow(), 3);
    EXPECT_EQ(s.cell(2, 1).asNumber(), 3);
    EXPECT_EQ(s.cell(3, 1).asNumber(), 4);
    s.deleteRow(9); // beyond the used range: nothing happens
    EXPECT_EQ(s.lastUsedRow(), 3);
}

TEST(Sheet, AppendStopsAtTheLastRowOfTheFormat) {
    Sheet s(u"トモリネ");
    s.setCell(Sheet::MaxRows - 1, 1, Cell::number(1));
    EXPECT_EQ(s.appendRow(Serials(2)), Sheet::MaxRows);
    try {
        s.appendRow(Serials(3));
        FAIL();
    } catch (const WorkbookError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::SheetRule);
        EXPECT_NE(std::string(e.description()).find("トモリネ"), std::string::npos);
    }
    EXPECT_EQ(s.lastUsedRow(), Sheet::MaxRows);
}

TEST(Sheet, ReplaceRowTrimsTrailingEmptyCells) {
    Sheet s(u"s");
    s.appendRow(Serials(1));
    s.replaceRow(1, {Cell::number(5), Cell(), Cell()});
    EXPECT_EQ(s.row(1).size(), 1u);
    s.replaceRow(1, {});
    EXPECT_EQ(s.lastUsedRow(), 0);
}

} // namespace
} // namespace tomorine
