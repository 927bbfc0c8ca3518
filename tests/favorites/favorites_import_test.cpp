// The import engine on a Favorites tree built at run time, with the rows it
// writes read back by xlrd.
#include "favorites/favorites_import.h"
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
    store_.ModuleConnection =
        std::make_unique<Connection>(Connection::ConnectionString(store_.DataFilePath));
    store_.ConnectionOpen = true;
    const ImportOutcome outcome = run();
    EXPECT_EQ(store_.ModuleConnection, nullptr); // closed before writing
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

TEST_F(Import, SavesAtMostOnceASecondAndAtTheEnd) {
    auto clock = std::chrono::steady_clock::time_point();
    std::vector<std::chrono::steady_clock::time_point> saves;
    ImportOptions options;
    options.now = [&] { return clock += std::chrono::milliseconds(400); };
    options.save = [&](const Workbook& book, const std::filesystem::path& path) {
        saves.push_back(clock);
        WriteXlsFile(book, path);
    };
    run(options);
    ASSERT_GE(saves.size(), 2u);
    EXPECT_LT(saves.size(), 4u); // fewer than the favorites it registers
    for (size_t i = 1; i + 1 < saves.size(); ++i) {
        EXPECT_GE(saves[i] - saves[i - 1], std::chrono::milliseconds(1000));
    }
    EXPECT_EQ(EntryRowsByXlrd(store_.DataFilePath).size(), 5u);
}

// Without shortcut files the import ends without reading the data file, and
// a stop pressed during the opening wait is cleared.
TEST(ImportWithoutShortcuts, EndsAtOnceWithoutReadingTheDataFile) {
    TempDir dir;
    std::filesystem::create_directories(dir / "Favorites" / "empty");
    WriteShortcut(dir / "Favorites" / "skip.txt", "http://example.jp/");
    StoreState store;
    store.DataFilePath = dir / "missing.xls";
    FavoritesState favorites{0, 0, true};
    ShortcutCounters counters;
    ImportContext context{store, favorites, counters, {}};
    EXPECT_EQ(RunFavoritesImport(context, dir / "Favorites").failure, "");
    EXPECT_FALSE(favorites.ImportCancelRequested);
}

} // namespace
