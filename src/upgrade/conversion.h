#pragma once

#include "upgrade/upgrade_context.h"

#include <string>

namespace tomorine {

// Every tab becomes a space.
std::u16string TabsToSpaces(std::u16string_view text);

// Progress after row `row` of `last`: row / last * 100 rounded half to even,
// and 99 rather than 100 while the last row is not done.
int ConversionPercent(int row, int last);

// The four steps of converting a 0104 workbook in place. Each opens the data
// workbook, does one job, saves (atomically) only on success, reports its
// own failure in a critical message box and returns false.
bool AddConversionSheet(UpgradeContext& context);
// Row number of the last used cell of the entry sheet; 0 after a failure.
int GetLastUsedRow(UpgradeContext& context);
bool ConvertEntryRows(UpgradeContext& context);
bool ReplaceEntrySheet(UpgradeContext& context);

} // namespace tomorine
