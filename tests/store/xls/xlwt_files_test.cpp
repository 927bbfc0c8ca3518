// Workbooks written by xlwt, which Excel opens, read by our reader exactly
// as xlrd reads them.
#include "store/workbook/utf.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"

#include <gtest/gtest.h>
#include <limits>

namespace tomorine {
namespace {

std::u16string Repeat(std::u16string_view piece, std::size_t times) {
    std::u16string text;
    for (std::size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

std::u16string Number(int n) {
    return FromUtf8(std::to_string(n));
}

// Thousands of entry-like rows: numbers xlwt packs as RK and MULRK runs,
// repeated and distinct texts, a boolean and an error now and then.
void FillEntries(Sheet& sheet) {
    sheet.replaceRow(1, {Cell::text(u"シリアル番号"), Cell::text(u"URL1"), Cell::text(u"タイトル1"),
                         Cell::text(u"評価"), Cell::text(u"削除")});
    for (int r = 2; r <= 4000; ++r) {
        sheet.replaceRow(r, {Cell::number(r - 1), Cell::text(u"https://example.jp/" + Number(r)),
                             Cell::text(u"ページ「" + Number(r % 300) + u"」の題"),
                             Cell::number((r % 9) * 0.25), Cell::number(0)});
        if (r % 7 == 0) {
            sheet.setCell(r, 6, Cell::boolean(r % 2 == 0));
        }
        if (r % 11 == 0) {
            sheet.setCell(r, 7, Cell::error(r % 2 ? 0x2A : 0x07));
        }
    }
}

void FillNumbers(Sheet& sheet) {
    const double values[] = {0,
                             1,
                             -1,
                             0.5,
                             -2.75,
                             0.1,
                             1.0 / 3,
                             12.34,
                             (1 << 29) - 1,
                             1 << 29,
                             -(1 << 29),
                             123456789012345.0,
                             1e300,
                             -1e-300,
                             std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::denorm_min()};
    int r = 1;
    for (double value : values) {
        sheet.setCell(r++, 1, Cell::number(value));
    }
    sheet.replaceRow(r, {Cell::number(1), Cell::number(2), Cell::number(3), Cell::number(4.5)});
}

// xlwt counts a string's characters in code points, so its texts stay in the
// Basic Multilingual Plane.
void FillStrings(Sheet& sheet) {
    sheet.setCell(1, 1, Cell::text(Repeat(u"長い日本語の文字列", 1000)));
    sheet.setCell(2, 1, Cell::text(Repeat(u"x", 32767)));
    sheet.setCell(3, 1, Cell::text(Repeat(u"ascii then 日本語 ", 600)));
    sheet.setCell(4, 1, Cell::text(u"タブ\t改行\r\nアポストロフィ'　全角空白"));
    for (int r = 5; r <= 1500; ++r) {
        sheet.setCell(r, 1 + r % 3, Cell::text(Number(r) + Repeat(r % 2 ? u"あ" : u"a", r % 200)));
    }
}

TEST(XlwtFiles, AreReadAsXlrdReadsThem) {
    Workbook book;
    FillEntries(book.addSheet(u"トモリネ"));
    FillNumbers(book.addSheet(u"数値"));
    book.addSheet(u"空");
    FillStrings(book.addSheet(u"Long strings"));
    book.addSheet(u"真偽").replaceRow(2, {Cell::boolean(true), Cell::boolean(false),
                                          Cell::error(0x00), Cell::error(0x0F), Cell::error(0x17),
                                          Cell::error(0x1D), Cell::error(0x24)});
    test::TempDir dir;
    test::WriteWithXlwt(book, dir / "xlwt.xls");
    const nlohmann::json xlrd = test::XlrdValues(dir / "xlwt.xls");
    ASSERT_TRUE(test::SameAsXlrd(book, xlrd)) << "xlwt did not write what it was given";
    EXPECT_TRUE(test::SameAsXlrd(ReadXlsFile(dir / "xlwt.xls"), xlrd));
}

} // namespace
} // namespace tomorine
