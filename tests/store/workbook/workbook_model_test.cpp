#include "store/workbook/workbook.h"
#include "store/workbook/workbook_error.h"

#include <functional>
#include <gtest/gtest.h>
#include <optional>

namespace tomorine {
namespace {

std::optional<WorkbookFault> ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const WorkbookError& e) {
        return e.fault();
    }
    return std::nullopt;
}

// On a workbook of "トモリネ", used up to the format's last row, and "Tmp".
TEST(Workbook, ActionsAgainstTheSheetRulesAreRefused) {
    const std::pair<const char*, std::function<void(Workbook&)>> refused[] = {
        {"name taken but for case", [](Workbook& b) { b.addSheet(u"TMP"); }},
        {"brackets", [](Workbook& b) { b.addSheet(u"[x]"); }},
        {"32 characters", [](Workbook& b) { b.addSheet(std::u16string(32, u'x')); }},
        {"row 65537", [](Workbook& b) { b.sheet(2).setCell(65537, 1, Cell::number(1)); }},
        {"column 257", [](Workbook& b) { b.sheet(2).setCell(1, 257, Cell::number(1)); }},
        {"append to a full sheet", [](Workbook& b) { b.sheet(1).appendRow({Cell::number(1)}); }},
        {"no sheet left",
         [](Workbook& b) {
             b.deleteSheet(b.sheet(2));
             b.deleteSheet(b.sheet(1));
         }},
    };
    for (const auto& [what, action] : refused) {
        Workbook b;
        b.addSheet(u"トモリネ").setCell(Sheet::MaxRows, Sheet::MaxColumns, Cell::number(1));
        b.addSheet(u"Tmp");
        EXPECT_EQ(ErrorOf([&] { action(b); }), WorkbookFault::SheetRule) << what;
        EXPECT_EQ(b.sheet(1).lastUsedRow(), Sheet::MaxRows) << what;
    }
}

} // namespace
} // namespace tomorine
