#pragma once

#include "upgrade/upgrade_context.h"

#include <string>

namespace tomorine {

// Every tab becomes a space.
std::u16string TabsToSpaces(std::u16string_view text);

// Progress after row `row` of `last`: row / last * 100 rounded half to even,
// and 99 rather than 100 while the last row is not done.
int ConversionPercent(int row, int last);

// The steps of converting a 0104 workbook in place. Each opens the data
// workbook, does one job and saves (atomically) only on success; a failure
// throws its WorkbookError.
void AddConversionSheet(UpgradeContext& context);
// Row number of the last used cell of the entry sheet.
int GetLastUsedRow(UpgradeContext& context);
// False when the user asked to stop; nothing is saved then.
bool ConvertEntryRows(UpgradeContext& context);
void ReplaceEntrySheet(UpgradeContext& context);

} // namespace tomorine
