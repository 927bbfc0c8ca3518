// Where the Favorites folder is, and the walk of its shortcut files.
#include "favorites/favorites_folder.h"
#include "favorites/find_files.h"
#include "store/settings/ini_functions.h"
#include "store/settings/settings_file.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace tomorine;
using namespace tomorine::test;

namespace {

namespace fs = std::filesystem;

TEST(FavoritesFolder, TheSettingFirstThenFavoritesAtHome) {
    TempDir dir;
    const std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    fs::create_directories(dir / "home" / "リンク");
    setenv("HOME", (dir / "home").c_str(), 1);
    const auto ini = dir / "トモリネ.ini";
    EXPECT_EQ(FindFavoritesFolder(ini), fs::path());
    fs::create_directory(dir / "home" / "Favorites");
    WriteIniString(ini, kSettingsSection, kFavoritesKey, (dir / "nowhere").string());
    EXPECT_EQ(FindFavoritesFolder(ini), dir / "home" / "Favorites");
    WriteIniString(ini, kSettingsSection, kFavoritesKey, "~/リンク");
    EXPECT_EQ(FindFavoritesFolder(ini), dir / "home" / "リンク");
    setenv("HOME", oldHome.c_str(), 1);
}

TEST(Wildcard, MatchesAsThePatternSays) {
    const struct {
        std::u16string name, pattern;
        bool matches;
    } cases[] = {
        {u"a.b.url", u"*.url", true}, {u".url", u"*.url", true},    {u"a.url.txt", u"*.url", false},
        {u"a.url", u"?.url", true},   {u"ab.url", u"?.url", false}, {u"𠮷.url", u"?.url", true},
        {u"axbyc", u"a*b*c", true},   {u"acb", u"a*b*c", false},    {u"x", u"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MatchesWildcard(c.name, c.pattern), c.matches)
            << std::string(c.name.begin(), c.name.end());
    }
}

TEST(FindFiles, FolderFilesFirstThenEachSubfolderByNameWithoutCase) {
    TempDir dir;
    const fs::path root = dir / "fav";
    fs::create_directories(root / "B" / "inner");
    fs::create_directories(root / "a");
    for (const fs::path& file :
         {root / "z.url", root / "Y.Url", root / "B" / "b.url", root / "B" / "inner" / "i.url",
          root / "a" / "a.url", root / "a" / "skip.txt", root / "B" / "A.URL"}) {
        WriteBytes(file, {});
    }
    fs::create_directory_symlink(root, root / "a" / "loop"); // walked once only
    EXPECT_EQ(FindFiles(root, u"*.URL"),
              (std::vector<fs::path>{root / "Y.Url", root / "z.url", root / "a" / "a.url",
                                     root / "B" / "A.URL", root / "B" / "b.url",
                                     root / "B" / "inner" / "i.url"}));
}

} // namespace
