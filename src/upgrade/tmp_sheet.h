#pragma once

#include "upgrade/upgrade_context.h"

namespace tomorine {

inline constexpr std::u16string_view TmpSheetName = u"tmp";

// 1 when the data workbook holds a sheet "tmp", 0 when not, -1 when it could
// not be read. Shows nothing.
int ProbeTmpSheet(UpgradeContext& context);

// Removes a "tmp" sheet left by an interrupted merge or conversion and saves;
// a workbook without one is not touched. False after a reported failure.
bool DeleteTmpSheet(UpgradeContext& context);

} // namespace tomorine
