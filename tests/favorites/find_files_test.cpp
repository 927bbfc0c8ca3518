// The walk of the Favorites folder and the name pattern.
#include "favorites/find_files.h"
#include "favorites/import_summary.h"
#include "store/workbook/workbook_error.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace tomorine;
using namespace tomorine::test;

namespace {

TEST(Wildcard, MatchesAsThePatternSays) {
    struct Case {
        std::u16string name, pattern;
        bool matches;
    } cases[] = {
        {u"a.url", u"*.url", true},  {u"a.b.url", u"*.url", true},
        {u".url", u"*.url", true},   {u"a.url.txt", u"*.url", false},
        {u"a.ur", u"*.url", false},  {u"日本語.url", u"*.url", true},
        {u"a.url", u"?.url", true},  {u"ab.url", u"?.url", false},
        {u"𠮷.url", u"?.url", true}, // one character beyond the BMP
        {u"abc", u"a*b*c", true},    {u"axbyc", u"a*b*c", true},
        {u"acb", u"a*b*c", false},   {u"", u"*", true},
        {u"x", u"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MatchesWildcard(c.name, c.pattern), c.matches)
            << std::string(c.pattern.begin(), c.pattern.end());
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
    // A link back up is walked once only.
    fs::create_directory_symlink(root, root / "a" / "loop");
    std::vector<fs::path> expected = {root / "Y.Url",       root / "z.url",
                                      root / "a" / "a.url", root / "B" / "A.URL",
                                      root / "B" / "b.url", root / "B" / "inner" / "i.url"};
    EXPECT_EQ(FindFiles(root, u"*.URL"), expected);
}

TEST(FindFiles, AMissingFolderIsAnErrorNamingIt) {
    TempDir dir;
    try {
        FindFiles(dir / "missing", u"*.url");
        FAIL() << "no error";
    } catch (const WorkbookError& e) {
        EXPECT_NE(std::string(e.what()).find("missing"), std::string::npos) << e.what();
    }
}

TEST(ImportSummary, CountsAreRightAlignedInFiveCharacters) {
    EXPECT_EQ(CountCaption(0), "    0");
    EXPECT_EQ(CountCaption(42), "   42");
    EXPECT_EQ(CountCaption(12345), "12345");
    EXPECT_EQ(CountCaption(123456), "123456");
}

TEST(ImportSummary, NoticesByCounter) {
    ImportNotices none = NoticesFor({});
    EXPECT_EQ(none.unreadable + none.namesTooLong + none.noTargets, "");
    ImportNotices all = NoticesFor({3, 1, 2});
    EXPECT_EQ(all.unreadable, "3個の\"URLが取得できないお気に入り\"がありました");
    EXPECT_EQ(all.namesTooLong, "お気に入り名称が長すぎるものがあるようです");
    EXPECT_EQ(all.noTargets, "URLが未指定のものがあるようです");
}

} // namespace
