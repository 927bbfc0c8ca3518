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

TEST(Workbook, MissingSheetIsError9) {
    Workbook b;
    b.addSheet(u"トモリネ");
    EXPECT_EQ(ErrorOf([&] { b.sheet(u"tmp"); }), ErrorNumber::SubscriptOutOfRange);
    EXPECT_EQ(ErrorOf([&] { b.sheet(2); }), ErrorNumber::SubscriptOutOfRange);
    EXPECT_EQ(&b.sheet(u"トモリネ"), &b.sheet(1));
}

TEST(Workbook, SheetNamesIgnoreAsciiCase) {
    Workbook b;
    b.addSheet(u"Tmp");
    EXPECT_NE(b.findSheet(u"tMP"), nullptr);
    EXPECT_EQ(ErrorOf([&] { b.addSheet(u"TMP"); }), ErrorNumber::SheetRule);
}

TEST(Workbook, InvalidSheetNamesAreRefused) {
    Workbook b;
    for (const char16_t* name : {u"", u"a/b", u"[x]", u"x?", u"0123456789012345678901234567890X"}) {
        EXPECT_EQ(ErrorOf([&] { b.addSheet(name); }), ErrorNumber::SheetRule);
    }
    EXPECT_EQ(b.sheetCount(), 0);
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
    EXPECT_EQ(copy.cell(3, 1).asNumber(), 7);

    Sheet& again = data.copySheetAfter(source, data.sheet(u"トモリネ"));
    EXPECT_EQ(again.name(), u"トモリネ (3)");
    source.setCell(3, 1, Cell::number(8));
    EXPECT_EQ(copy.cell(3, 1).asNumber(), 7);
}

TEST(Workbook, RenameAndDelete) {
    Workbook b;
    b.addSheet(u"トモリネ");
    Sheet& tmp = b.addSheet(u"tmp");
    EXPECT_EQ(ErrorOf([&] { b.renameSheet(tmp, u"トモリネ"); }), ErrorNumber::SheetRule);
    b.deleteSheet(b.sheet(u"トモリネ"));
    b.renameSheet(tmp, u"トモリネ");
    EXPECT_EQ(b.sheet(1).name(), u"トモリネ");
    EXPECT_EQ(ErrorOf([&] { b.deleteSheet(b.sheet(1)); }), ErrorNumber::SheetRule);
}

TEST(Workbook, CopiesAreDeep) {
    Workbook a;
    a.addSheet(u"s").setCell(1, 1, Cell::text(u"x"));
    Workbook b = a;
    b.sheet(1).setCell(1, 1, Cell::text(u"y"));
    EXPECT_EQ(a.sheet(1).cell(1, 1).asText(), u"x");
}

} // namespace
} // namespace tomorine
