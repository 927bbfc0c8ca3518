#pragma once

#include <filesystem>
#include <string_view>

namespace tomorine {

// The settings key that names the Favorites folder, in section "トモリネ" of
// the program folder's settings file.
inline constexpr std::string_view kFavoritesKey = "FAVORITES";

// The Favorites folder: the folder named by FAVORITES in `appIni` (a leading
// "~/" is the home folder, a relative path is taken from the current
// folder), else ~/Favorites. Empty when neither is an existing folder.
std::filesystem::path FindFavoritesFolder(const std::filesystem::path& appIni);

// Remembers a chosen folder in FAVORITES of `appIni`; false when the
// settings file cannot be written (the import goes on all the same).
bool RememberFavoritesFolder(const std::filesystem::path& appIni,
                             const std::filesystem::path& folder);

} // namespace tomorine
