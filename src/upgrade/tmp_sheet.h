#pragma once

#include "upgrade/upgrade_context.h"

namespace tomorine {

inline constexpr std::u16string_view TmpSheetName = u"tmp";

// Whether the data workbook holds a sheet "tmp"; throws when it cannot be
// read.
bool HasTmpSheet(UpgradeContext& context);

// Removes a "tmp" sheet left by an interrupted merge or conversion and saves;
// a workbook without one is not touched. Throws its WorkbookError.
void DeleteTmpSheet(UpgradeContext& context);

} // namespace tomorine
