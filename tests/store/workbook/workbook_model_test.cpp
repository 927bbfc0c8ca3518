#include "store/workbook/cell.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook.h"
#include "store/workbook/workbook_error.h"

#include <bit>
#include <cmath>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <thread>

namespace tomorine {
namespace {

// Numbers whose bits lie next to the tags that mark the other kinds: a NaN
// read from a file must stay a number, never become a text pointer.
TEST(Cell, EveryDoubleStaysANumber) {
    for (std::uint64_t b : std::initializer_list<std::uint64_t>{
             0x8000'0000'0000'0000, 0xFFF0'0000'0000'0000, 0x7FF8'0000'0000'0000,
             0xFFF8'0000'0000'0000, 0xFFF9'0000'0000'0000, 0xFFFA'0000'1234'5678,
             0xFFFB'0000'0000'0001, 0xFFFC'0000'0000'002A}) {
        const Cell cell = Cell::number(std::bit_cast<double>(b));
        ASSERT_EQ(cell.kind(), CellKind::Number) << std::hex << b;
        EXPECT_TRUE(cell.asText().empty());
        EXPECT_TRUE(std::isnan(cell.asNumber())
                        ? (b & 0x7FF0'0000'0000'0000) == 0x7FF0'0000'0000'0000
                        : std::bit_cast<std::uint64_t>(cell.asNumber()) == b)
            << std::hex << b;
    }
}

// Copies made and dropped on several threads at once leave the count right:
// the text is freed once, after the last copy (a sanitizer build sees it).
TEST(Cell, CountsHoldAcrossThreads) {
    const Cell shared = Cell::text(u"共有");
    std::vector<std::jthread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                Cell copy = shared;
                Cell other = copy;
                copy = Cell();
            }
        });
    }
    threads.clear(); // joins
    EXPECT_EQ(shared.asText(), u"共有");
}

// On a workbook of "トモリネ", used up to the format's last row, and "Tmp".
// The surrogate scan steps four units at a time: a half in any lane or in
// the tail is found, a whole pair across two steps is not lone.
TEST(Utf16, EveryLoneHalfIsFoundWherever) {
    for (std::size_t length = 1; length <= 9; ++length) {
        for (std::size_t at = 0; at < length; ++at) {
            std::u16string text(length, u'あ');
            for (const char16_t half : {u'\xD83D', u'\xDE00', u'\xDBFF', u'\xDC00'}) {
                text[at] = half;
                EXPECT_TRUE(HasLoneSurrogate(text)) << length << " " << at;
            }
            if (at + 1 < length) {
                text[at] = u'\xD83D';
                text[at + 1] = u'\xDE00';
                EXPECT_FALSE(HasLoneSurrogate(text)) << length << " " << at;
            }
        }
        EXPECT_FALSE(HasLoneSurrogate(std::u16string(length, u'\xD7FF')));
        EXPECT_FALSE(HasLoneSurrogate(std::u16string(length, u'\xE000')));
    }
}

TEST(Workbook, ActionsAgainstTheSheetRulesAreRefused) {
    const std::pair<const char*, std::function<void(Workbook&)>> refused[] = {
        {"name taken but for case", [](Workbook& b) { b.addSheet(u"TMP"); }},
        {"brackets", [](Workbook& b) { b.addSheet(u"[x]"); }},
        {"32 characters", [](Workbook& b) { b.addSheet(std::u16string(32, u'x')); }},
        {"row 65537", [](Workbook& b) { b.sheet(2).setCell(65537, 1, Cell::number(1)); }},
        {"column 257", [](Workbook& b) { b.sheet(2).setCell(1, 257, Cell::number(1)); }},
        {"append to a full sheet", [](Workbook& b) { b.sheet(1).appendRow({Cell::number(1)}); }},
        {"no sheet left",
         [](Workbook& b) { b.deleteSheet(b.sheet(2)), b.deleteSheet(b.sheet(1)); }},
    };
    for (const auto& [what, action] : refused) {
        Workbook b;
        b.addSheet(u"トモリネ").setCell(Sheet::MaxRows, Sheet::MaxColumns, Cell::number(1));
        b.addSheet(u"Tmp");
        EXPECT_THAT([&] { action(b); }, testing::Throws<WorkbookError>(testing::Property(
                                            &WorkbookError::fault, WorkbookFault::SheetRule)))
            << what;
        EXPECT_EQ(b.sheet(1).lastUsedRow(), Sheet::MaxRows) << what;
    }
}

} // namespace
} // namespace tomorine
