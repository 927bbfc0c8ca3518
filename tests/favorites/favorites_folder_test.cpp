// Where the Favorites folder is, and remembering a chosen one.
#include "favorites/favorites_folder.h"
#include "store/settings/ini_functions.h"
#include "store/settings/settings_file.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace tomorine;
using namespace tomorine::test;

namespace {

class FavoritesFolder : public ::testing::Test {
protected:
    void SetUp() override {
        const char* home = std::getenv("HOME");
        oldHome_ = home ? home : "";
        std::filesystem::create_directory(dir_ / "home");
        setenv("HOME", (dir_ / "home").c_str(), 1);
    }
    void TearDown() override { setenv("HOME", oldHome_.c_str(), 1); }
    void setting(const std::string& value) {
        WriteIniString(ini(), kSettingsSection, kFavoritesKey, value);
    }
    std::filesystem::path ini() const { return dir_ / "トモリネ.ini"; }

    TempDir dir_;
    std::string oldHome_;
};

TEST_F(FavoritesFolder, TheSettingFirstThenFavoritesAtHome) {
    EXPECT_EQ(FindFavoritesFolder(ini()), std::filesystem::path());
    std::filesystem::create_directory(dir_ / "home" / "Favorites");
    EXPECT_EQ(FindFavoritesFolder(ini()), dir_ / "home" / "Favorites");
    setting((dir_ / "nowhere").string());
    EXPECT_EQ(FindFavoritesFolder(ini()), dir_ / "home" / "Favorites");
    std::filesystem::create_directory(dir_ / "お気に入り");
    setting((dir_ / "お気に入り").string());
    EXPECT_EQ(FindFavoritesFolder(ini()), dir_ / "お気に入り");
    std::filesystem::create_directory(dir_ / "home" / "リンク");
    setting("~/リンク");
    EXPECT_EQ(FindFavoritesFolder(ini()), dir_ / "home" / "リンク");
}

TEST_F(FavoritesFolder, AChosenFolderIsRemembered) {
    std::filesystem::create_directory(dir_ / "選んだ");
    WriteIniString(ini(), kSettingsSection, kDataFileKey, "/data/トモリネ.xls");
    ASSERT_TRUE(RememberFavoritesFolder(ini(), dir_ / "選んだ"));
    EXPECT_EQ(FindFavoritesFolder(ini()), dir_ / "選んだ");
    EXPECT_EQ(ReadIniString(ini(), kSettingsSection, kDataFileKey, "", 256), "/data/トモリネ.xls");
}

} // namespace
