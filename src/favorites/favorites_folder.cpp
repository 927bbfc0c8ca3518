#include "favorites/favorites_folder.h"

#include "store/settings/ini_functions.h"
#include "store/settings/path_routines.h"
#include "store/settings/settings_file.h"

#include <cstdlib>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

namespace tomorine {

namespace {

// Our own key, so not bound to the fixed buffer of the others: any path fits.
constexpr int kFolderBufferSize = 4096;

std::filesystem::path HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return home;
    }
    if (const passwd* user = getpwuid(getuid()); user != nullptr && user->pw_dir != nullptr) {
        return user->pw_dir;
    }
    return {};
}

bool IsFolder(const std::filesystem::path& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(path, error);
}

std::filesystem::path SettingFolder(const std::string& value) {
    if (value.empty()) {
        return {};
    }
    if (value == "~" || value.starts_with("~/")) {
        std::filesystem::path home = HomeFolder();
        return home.empty() ? std::filesystem::path()
                            : home / value.substr(value.size() > 1 ? 2 : 1);
    }
    return GetAbsolutePath(value);
}

} // namespace

std::filesystem::path FindFavoritesFolder(const std::filesystem::path& appIni) {
    std::filesystem::path setting = SettingFolder(
        ReadIniString(appIni, kSettingsSection, kFavoritesKey, "", kFolderBufferSize));
    if (IsFolder(setting)) {
        return setting;
    }
    std::filesystem::path home = HomeFolder();
    if (!home.empty() && IsFolder(home / "Favorites")) {
        return home / "Favorites";
    }
    return {};
}

bool RememberFavoritesFolder(const std::filesystem::path& appIni,
                             const std::filesystem::path& folder) {
    return WriteIniString(appIni, kSettingsSection, kFavoritesKey, folder.string());
}

} // namespace tomorine
