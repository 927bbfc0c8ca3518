// The walk of the Favorites folder and the name pattern.
#include "favorites/find_files.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace tomorine;
using namespace tomorine::test;

namespace {

TEST(Wildcard, MatchesAsThePatternSays) {
    const struct {
        std::u16string name, pattern;
        bool matches;
    } cases[] = {
        {u"a.b.url", u"*.url", true},
        {u".url", u"*.url", true},
        {u"a.url.txt", u"*.url", false},
        {u"a.url", u"?.url", true},
        {u"ab.url", u"?.url", false},
        {u"𠮷.url", u"?.url", true}, // one character beyond the BMP
        {u"axbyc", u"a*b*c", true},
        {u"acb", u"a*b*c", false},
        {u"x", u"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MatchesWildcard(c.name, c.pattern), c.matches)
            << std::string(c.name.begin(), c.name.end());
    }
}

TEST(FindFiles, FolderFilesFirstThenEachSubfolderByNameWithoutCase) {
    TempDir dir;
    namespace fs = std::filesystem;
    fs::path root = dir / "fav";
    fs::create_directories(root / "B" / "inner");
    fs::create_directories(root / "a");
    for (const fs::path& file :
         {root / "z.url", root / "Y.Url", root / "B" / "b.url", root / "B" / "inner" / "i.url",
          root / "a" / "a.url", root / "a" / "skip.txt", root / "B" / "A.URL"}) {
        WriteBytes(file, {});
    }
    fs::create_directory_symlink(root, root / "a" / "loop"); // walked once only
    std::vector<fs::path> expected = {root / "Y.Url",       root / "z.url",
                                      root / "a" / "a.url", root / "B" / "A.URL",
                                      root / "B" / "b.url", root / "B" / "inner" / "i.url"};
    EXPECT_EQ(FindFiles(root, u"*.URL"), expected);
}

} // namespace
