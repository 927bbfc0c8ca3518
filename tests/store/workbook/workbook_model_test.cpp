#include "store/workbook/utf.h"
#include "store/workbook/workbook.h"
#include "store/workbook/workbook_error.h"

#include <functional>
#include <gtest/gtest.h>

namespace tomorine {
namespace {

int ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const WorkbookError& e) {
        return e.number();
    }
    return 0;
}

TEST(Cell, SixteenBytesOwningItsText) {
    EXPECT_EQ(sizeof(Cell), 16u);
    Cell a = Cell::text(u"タイトル");
    Cell b = a;
    Cell c = std::move(a);
    b = Cell::number(3);
    c = c;
    EXPECT_TRUE(a.isEmpty());
    EXPECT_EQ(c.asText(), u"タイトル");
    EXPECT_NE(Cell::number(7), Cell::text(u"7"));
    EXPECT_NE(Cell::text(u""), Cell());
}

TEST(Utf, PairsRoundTripAndBrokenInputBecomesReplacementCharacters) {
    const std::u16string text = u"トモリネ ｱｲｳ 𠮷 é\t\r\n";
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(ToUtf8(std::u16string(1, u'\xD800') + u"x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(FromUtf8("a\xE3\x83"), u"a\uFFFD\uFFFD");         // truncated
    EXPECT_EQ(FromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");           // overlong
    EXPECT_EQ(FromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD"); // encoded surrogate
}

TEST(Workbook, MissingSheetIsError9) {
    Workbook b;
    b.addSheet(u"Data");
    EXPECT_EQ(ErrorOf([&] { b.sheet(u"tmp"); }), ErrorNumber::SubscriptOutOfRange);
    EXPECT_EQ(ErrorOf([&] { b.sheet(2); }), ErrorNumber::SubscriptOutOfRange);
    EXPECT_EQ(&b.sheet(u"DATA"), &b.sheet(1));
}

// On a workbook of "トモリネ", used up to the format's last row, and "Tmp".
TEST(Workbook, ActionsAgainstTheSheetRulesAreRefused) {
    const std::pair<const char*, std::function<void(Workbook&)>> refused[] = {
        {"name taken but for case", [](Workbook& b) { b.addSheet(u"TMP"); }},
        {"empty name", [](Workbook& b) { b.addSheet(u""); }},
        {"slash", [](Workbook& b) { b.addSheet(u"a/b"); }},
        {"brackets", [](Workbook& b) { b.addSheet(u"[x]"); }},
        {"32 characters", [](Workbook& b) { b.addSheet(std::u16string(32, u'x')); }},
        {"renamed onto another", [](Workbook& b) { b.renameSheet(b.sheet(2), u"トモリネ"); }},
        {"row 0", [](Workbook& b) { b.sheet(2).setCell(0, 1, Cell::number(1)); }},
        {"row 65537", [](Workbook& b) { b.sheet(2).setCell(65537, 1, Cell::number(1)); }},
        {"column 257", [](Workbook& b) { b.sheet(2).setCell(1, 257, Cell::number(1)); }},
        {"append to a full sheet", [](Workbook& b) { b.sheet(1).appendRow({Cell::number(1)}); }},
        {"delete the last sheet",
         [](Workbook& b) {
             b.deleteSheet(b.sheet(2));
             b.deleteSheet(b.sheet(1));
         }},
    };
    for (const auto& [what, action] : refused) {
        Workbook b;
        b.addSheet(u"トモリネ").setCell(Sheet::MaxRows, Sheet::MaxColumns, Cell::number(1));
        b.addSheet(u"Tmp");
        EXPECT_EQ(ErrorOf([&] { action(b); }), ErrorNumber::SheetRule) << what;
        EXPECT_EQ(b.sheet(1).lastUsedRow(), Sheet::MaxRows) << what;
    }
}

TEST(Sheet, UsedRangeShrinksWithItsLastCells) {
    Sheet s(u"s");
    s.setCell(1, 1, Cell::number(1));
    s.setCell(5, 2, Cell::number(2));
    EXPECT_TRUE(s.cell(0, 0).isEmpty());
    EXPECT_TRUE(s.cell(99, 1).isEmpty());
    s.setCell(5, 2, Cell());
    s.replaceRow(1, {Cell::number(5), Cell(), Cell()});
    EXPECT_EQ(s.lastUsedRow(), 1);
    EXPECT_EQ(s.row(1).size(), 1u);
    EXPECT_EQ(s.appendRow({Cell::text(u"x")}), 2);
}

TEST(Workbook, CopyOfAnotherWorkbooksSheetIsPlacedAfterAndNamedWithSuffix) {
    Workbook data;
    data.addSheet(u"トモリネ");
    data.addSheet(u"Sheet2");
    Workbook reference;
    Sheet& source = reference.addSheet(u"トモリネ");
    source.setCell(3, 1, Cell::number(7));

    Sheet& copy = data.copySheetAfter(source, data.sheet(u"トモリネ"));
    EXPECT_EQ(copy.name(), u"トモリネ (2)");
    EXPECT_EQ(data.indexOf(copy), 2);
    EXPECT_EQ(data.copySheetAfter(source, copy).name(), u"トモリネ (3)");
    source.setCell(3, 1, Cell::number(8));
    EXPECT_EQ(copy.cell(3, 1), Cell::number(7));
}

} // namespace
} // namespace tomorine
