// The import engine on a Favorites tree built at run time, with the rows it
// writes read back by xlrd.
#include "favorites/favorites_import.h"
#include "favorites/find_files.h"
#include "favorites_tree.h"
#include "import_fixture.h"
#include "store/data_connection.h"
#include "store/table/connection.h"
#include "support/data_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace tomorine;
using namespace tomorine::test;

namespace {

class Import : public ::testing::Test {
protected:
    Import() : tree_(dir_ / "Favorites") {
        store_.DataFilePath = dir_ / "トモリネ.xls";
        WriteEntries(store_.DataFilePath, FavoritesTree::Registered());
    }

    ImportOutcome run(ImportOptions options = {}) {
        ImportUi ui{[this](const std::filesystem::path& file) { listed_.push_back(file); },
                    [](const Favorite&) {}, [](int) {}, [] {}};
        ImportContext context{store_, favorites_, counters_, ui, std::move(options)};
        return RunFavoritesImport(context, tree_.root());
    }

    TempDir dir_;
    FavoritesTree tree_;
    StoreState store_;
    FavoritesState favorites_;
    ShortcutCounters counters_;
    std::vector<std::filesystem::path> listed_;
};

TEST_F(Import, RegistersEachNewUrlOnceAndCountsTheRest) {
    const ImportOutcome outcome = run();
    EXPECT_EQ(outcome.failure, "");
    EXPECT_EQ(outcome.found, FavoritesTree::kFound);
    EXPECT_EQ(listed_, tree_.expectedList());
    EXPECT_EQ(favorites_.RegisteredCount, FavoritesTree::kRegistered);
    EXPECT_EQ(favorites_.ExistingCount, FavoritesTree::kExisting);
    EXPECT_EQ(counters_.ShortcutErrorCount, FavoritesTree::kFailed);
    EXPECT_EQ(counters_.ShortcutNoTargetCount, 1);
    EXPECT_EQ(counters_.ShortcutBadCallCount, 1);
    std::vector<Entry> expected = FavoritesTree::Registered();
    for (const Entry& e : FavoritesTree::Added()) {
        expected.push_back(e);
    }
    EXPECT_EQ(EntryRowsByXlrd(store_.DataFilePath), RowsOf(expected));

    const auto before = ReadBytes(store_.DataFilePath);
    ResetImportCounts(favorites_, counters_);
    run();
    EXPECT_EQ(favorites_.ExistingCount, FavoritesTree::kRegistered + FavoritesTree::kExisting);
    EXPECT_EQ(ReadBytes(store_.DataFilePath), before); // nothing new: not even saved
}

TEST_F(Import, AFailedSaveLeavesTheCountsOfTheLastSave) {
    const ImportOutcome outcome = run(SaveFailingAt(2));
    EXPECT_EQ(outcome.failure, "ディスクがいっぱいです");
    EXPECT_EQ(listed_.size(), 2u);
    EXPECT_EQ(favorites_.RegisteredCount, 1);
    EXPECT_EQ(favorites_.ExistingCount + counters_.ShortcutErrorCount, 0);
    EXPECT_EQ(EntryRowsByXlrd(store_.DataFilePath),
              RowsOf({FavoritesTree::Registered()[0], FavoritesTree::Added()[0]}));
}

// Files of the folder first, then each subfolder by name without case; a
// link back up is walked once only.
TEST(FindFiles, FolderFilesFirstThenEachSubfolderByNameWithoutCase) {
    TempDir dir;
    const std::filesystem::path root = dir / "fav";
    std::filesystem::create_directories(root / "B" / "inner");
    std::filesystem::create_directories(root / "a");
    for (const auto& file : {root / "z.url", root / "Y.Url", root / "B" / "inner" / "i.url",
                             root / "a" / "skip.txt", root / "B" / "A.URL"}) {
        WriteBytes(file, {});
    }
    std::filesystem::create_directory_symlink(root, root / "a" / "loop");
    EXPECT_EQ(FindFiles(root, u"*.URL"), (std::vector<std::filesystem::path>{
                                             root / "Y.Url", root / "z.url", root / "B" / "A.URL",
                                             root / "B" / "inner" / "i.url"}));
}

} // namespace
