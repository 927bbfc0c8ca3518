// The import engine on a Favorites tree built at run time, with the rows it
// writes read back by xlrd.
#include "favorites/favorites_import.h"
#include "favorites_tree.h"
#include "store/data_connection.h"
#include "store/data_workbook.h"
#include "store/entry_statements.h"
#include "store/files/data_file_lock.h"
#include "store/table/connection.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"

#include <gtest/gtest.h>

using namespace tomorine;
using namespace tomorine::test;
using nlohmann::json;

namespace {

void WriteDataFile(const std::filesystem::path& path, const std::vector<Entry>& entries) {
    Connection connection(path, NewDataWorkbook());
    for (const Entry& e : entries) {
        connection.execute(BuildInsertStatement(e.serial, e));
    }
    WriteXlsFile(connection.workbook(), path);
}

// The cells xlrd reads from the entry rows (0-based row 2 on), a row each.
std::vector<json> EntryRowsByXlrd(const std::filesystem::path& file) {
    const json values = XlrdValues(file);
    std::vector<json> rows;
    for (const json& cell : values["sheets"][0]["cells"]) {
        if (const int row = cell[0]; row >= 2) {
            rows.resize(std::max<size_t>(rows.size(), row - 1));
            rows[row - 2].push_back({cell[1], cell[2], cell[3]});
        }
    }
    return rows;
}

std::vector<json> rowsOf(const std::vector<Entry>& entries) {
    std::vector<json> rows;
    for (const Entry& e : entries) {
        json cells = json::array(
            {{0, "number", e.serial}, {1, "text", ToUtf8(e.url)}, {17, "text", ToUtf8(e.title)}});
        if (!e.keywords.empty()) {
            cells.push_back({41, "text", ToUtf8(e.keywords)});
        }
        cells.push_back({57, "number", 0});
        rows.push_back(cells);
    }
    return rows;
}

class Import : public ::testing::Test {
protected:
    Import() : tree_(dir_ / "Favorites") { store_.DataFilePath = dir_ / "トモリネ.xls"; }

    ImportOutcome run(ImportOptions options = {}) {
        ImportContext context{store_, favorites_, counters_, ui(), std::move(options)};
        return RunFavoritesImport(context, tree_.root());
    }

    ImportUi ui() {
        ImportUi ui;
        ui.addFile = [this](const std::filesystem::path& file) { listed_.push_back(file); };
        ui.showFavorite = [](const Favorite&) {};
        ui.setProgress = [](int) {};
        ui.processEvents = [] {};
        return ui;
    }

    TempDir dir_;
    FavoritesTree tree_;
    StoreState store_;
    FavoritesState favorites_;
    ShortcutCounters counters_;
    std::vector<std::filesystem::path> listed_;
};

TEST_F(Import, RegistersEachNewUrlOnceAndCountsTheRest) {
    WriteDataFile(store_.DataFilePath, FavoritesTree::Registered());
    store_.ModuleConnection =
        std::make_unique<Connection>(Connection::ConnectionString(store_.DataFilePath));
    store_.ConnectionOpen = true;
    ImportOutcome outcome = run();
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
    EXPECT_EQ(EntryRowsByXlrd(store_.DataFilePath), rowsOf(expected));

    const auto before = ReadBytes(store_.DataFilePath);
    ResetImportCounts(favorites_, counters_);
    run();
    EXPECT_EQ(favorites_.ExistingCount, FavoritesTree::kRegistered + FavoritesTree::kExisting);
    EXPECT_EQ(ReadBytes(store_.DataFilePath), before); // nothing new: not even saved
}

TEST_F(Import, AFailedSaveLeavesTheCountsOfTheLastSave) {
    WriteDataFile(store_.DataFilePath, FavoritesTree::Registered());
    int saves = 0;
    ImportOptions options;
    options.saveInterval = std::chrono::milliseconds(0);
    options.save = [&](const Workbook& book, const std::filesystem::path& path) {
        EXPECT_TRUE(DataFileLock::HeldByThisThread(path));
        if (++saves == 2) {
            throw WorkbookError(ErrorNumber::DiskFull,
                                "「トモリネ.xls」を保存できません: ディスクがいっぱいです");
        }
        WriteXlsFile(book, path);
    };
    ImportOutcome outcome = run(options);
    EXPECT_EQ(outcome.failure, "「トモリネ.xls」を保存できません: ディスクがいっぱいです");
    EXPECT_EQ(listed_.size(), 2u);
    EXPECT_EQ(favorites_.RegisteredCount, 1);
    EXPECT_EQ(favorites_.ExistingCount + counters_.ShortcutErrorCount, 0);
    EXPECT_EQ(EntryRowsByXlrd(store_.DataFilePath),
              rowsOf({FavoritesTree::Registered()[0], FavoritesTree::Added()[0]}));
}

TEST_F(Import, SavesAtMostOnceASecondAndAtTheEnd) {
    WriteDataFile(store_.DataFilePath, {});
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
    EXPECT_LT(saves.size(), 5u); // fewer than the favorites it registers
    for (size_t i = 1; i + 1 < saves.size(); ++i) {
        EXPECT_GE(saves[i] - saves[i - 1], std::chrono::milliseconds(1000));
    }
    EXPECT_EQ(EntryRowsByXlrd(store_.DataFilePath).size(), 5u); // nothing registered before
}

TEST(ImportWithoutShortcuts, EndsAtOnceWithoutReadingTheDataFile) {
    TempDir dir;
    std::filesystem::create_directories(dir / "Favorites" / "empty");
    WriteShortcut(dir / "Favorites" / "skip.txt", "http://example.jp/");
    StoreState store;
    store.DataFilePath = dir / "missing.xls";
    FavoritesState favorites;
    favorites.ImportCancelRequested = true; // from a press during the opening wait
    ShortcutCounters counters;
    ImportContext context{store, favorites, counters, {}};
    ImportOutcome outcome = RunFavoritesImport(context, dir / "Favorites");
    EXPECT_EQ(outcome.failure, ""); // the data file was not read
    EXPECT_FALSE(favorites.ImportCancelRequested);
}

} // namespace
