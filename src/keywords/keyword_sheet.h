#pragma once

#include <filesystem>
#include <string_view>

namespace tomorine {

// Older versions sorted the keywords on this work sheet in the data file; an
// interrupted run could leave it there.
inline constexpr std::u16string_view KeywordSheetName = u"キーワード一覧";

// Removes the keyword sheet from the data file: read and atomic save under
// the data file's lock. A file without the sheet is not touched. Never fails
// to its caller: false when nothing was removed, for whatever reason.
bool DeleteKeywordSheet(const std::filesystem::path& dataFile) noexcept;

} // namespace tomorine
