#pragma once

#include "upgrade/upgrade_context.h"

#include <filesystem>

namespace tomorine {

// "bk_axbyczd0_" + the file name, beside the workbook (also in the root
// folder): a name older versions used for the re-save's temporary file, so
// that one left behind by them is found and removed.
std::filesystem::path CompactTempPath(const std::filesystem::path& workbook);

// The exit re-save: when the editor wrote an entry since start-up, writes the
// workbook afresh through the atomic save (a temporary file beside it renamed
// over it), so it is never deleted first, never missing or half written; a
// leftover temporary file of an earlier run is removed. A link to the
// workbook stays a link, and the file keeps its permissions. Throws
// WorkbookError; the workbook is then as it was.
void CompactDataWorkbook(UpgradeContext& context, const std::filesystem::path& workbook);

} // namespace tomorine
