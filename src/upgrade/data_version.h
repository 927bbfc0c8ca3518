#pragma once

#include "upgrade/upgrade_context.h"

#include <filesystem>
#include <string_view>

namespace tomorine {

// The entry sheet's layout: 0104 without the column URL5, 0105 with it.
enum class DataVersion { Old, Current };

// "0104" or "0105", as the version is shown.
std::u16string_view VersionText(DataVersion version);

// Current when the entry sheet has a column URL5 (or no data row at all),
// Old when it lacks one. Throws the WorkbookError of a file that cannot be
// read or has no entry sheet.
DataVersion GetDataVersion(const std::filesystem::path& path);

enum class DataFileCheck { Usable, Refused };

// Takes the data file into use: backup and recovery, then, for a 0104
// workbook and the user's consent, the conversion. Refused when the user
// declined the recovery or stopped the conversion (the backup is then put
// back). A failure throws its WorkbookError after the backup was put back;
// the caller must not use the data file then.
DataFileCheck CheckDataVersion(UpgradeContext& context);

} // namespace tomorine
