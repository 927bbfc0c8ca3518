#pragma once

#include "upgrade/upgrade_context.h"

#include <filesystem>

namespace tomorine {

// "bk_axbyczd0_" + the file name, beside the workbook (also in the root folder).
std::filesystem::path CompactTempPath(const std::filesystem::path& workbook);

// The exit re-save: when the editor wrote an entry since start-up, writes the
// workbook afresh under the temporary name and renames it over the workbook.
// The workbook is never deleted first, so it is never missing or half
// written; a leftover temporary file of an earlier run is replaced. A link to
// the workbook stays a link, and the file keeps its permissions. Throws
// WorkbookError; the workbook is then as it was and no temporary file remains.
void CompactDataWorkbook(UpgradeContext& context, const std::filesystem::path& workbook);

} // namespace tomorine
