// Where the Favorites folder is.
#include "favorites/favorites_folder.h"
#include "store/settings/ini_functions.h"
#include "store/settings/settings_file.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace tomorine;
using namespace tomorine::test;

namespace {

TEST(FavoritesFolder, TheSettingFirstThenFavoritesAtHome) {
    TempDir dir;
    const std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    std::filesystem::create_directories(dir / "home" / "リンク");
    setenv("HOME", (dir / "home").c_str(), 1);
    const auto ini = dir / "トモリネ.ini";
    EXPECT_EQ(FindFavoritesFolder(ini), std::filesystem::path());
    std::filesystem::create_directory(dir / "home" / "Favorites");
    WriteIniString(ini, kSettingsSection, kFavoritesKey, (dir / "nowhere").string());
    EXPECT_EQ(FindFavoritesFolder(ini), dir / "home" / "Favorites");
    WriteIniString(ini, kSettingsSection, kFavoritesKey, "~/リンク");
    EXPECT_EQ(FindFavoritesFolder(ini), dir / "home" / "リンク");
    setenv("HOME", oldHome.c_str(), 1);
}

} // namespace
