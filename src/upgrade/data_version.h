#pragma once

#include "upgrade/upgrade_context.h"

#include <cstdint>
#include <string>

namespace tomorine {

inline constexpr std::u16string_view DataVersion0105 = u"0105";
inline constexpr std::u16string_view DataVersion0104 = u"0104";
inline constexpr std::u16string_view DataVersionUnknown = u"-1";

// "0105" when the entry sheet has a column URL5 (or no data row at all),
// "0104" when it lacks one, "-1" after a failure that has been shown.
std::u16string GetDataVersion(UpgradeContext& context, const std::filesystem::path& path);

// Takes the data file into use: backup and recovery, then, for a 0104
// workbook and the user's consent, the conversion. 0 when the caller may go
// on with the data file, -1 when it may not.
std::int16_t CheckDataVersion(UpgradeContext& context);

} // namespace tomorine
