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

// The cells xlrd reads from rows 3 on (0-based row 2 on), as the rows an
// entry sheet should hold: [serial, url, title, keywords, deleted] of each.
std::vector<json> EntryRowsByXlrd(const std::filesystem::path& file) {
    json values = XlrdValues(file);
    std::map<int, json> rows;
    for (const json& cell : values["sheets"][0]["cells"]) {
        int row = cell[0];
        if (row >= 2) {
            rows[row].push_back({cell[1], cell[2], cell[3]});
        }
    }
    std::vector<json> out;
    for (auto& [row, cells] : rows) {
        out.push_back(cells);
    }
    return out;
}

json RowOf(const Entry& e) {
    json cells = json::array(
        {{0, "number", e.serial}, {1, "text", ToUtf8(e.url)}, {17, "text", ToUtf8(e.title)}});
    if (!e.keywords.empty()) {
        cells.push_back({41, "text", ToUtf8(e.keywords)});
    }
    cells.push_back({57, "number", 0});
    return cells;
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
        ui.showFavorite = [this](const Favorite& f) {
            shown_.push_back(ToUtf8(f.name) + " " + ToUtf8(f.url));
        };
        ui.setProgress = [this](int percent) { progress_.push_back(percent); };
        ui.processEvents = [this] {
            if (onEvents_) {
                onEvents_();
            }
        };
        return ui;
    }

    std::vector<json> rowsOf(const std::vector<Entry>& entries) {
        std::vector<json> rows;
        for (const Entry& e : entries) {
            rows.push_back(RowOf(e));
        }
        return rows;
    }

    TempDir dir_;
    FavoritesTree tree_;
    StoreState store_;
    FavoritesState favorites_;
    ShortcutCounters counters_;
    std::vector<std::filesystem::path> listed_;
    std::vector<std::string> shown_;
    std::vector<int> progress_;
    std::function<void()> onEvents_;
};

TEST_F(Import, RegistersEachNewUrlOnceAndCountsTheRest) {
    WriteDataFile(store_.DataFilePath, FavoritesTree::Registered());
    ImportOutcome outcome = run();
    EXPECT_EQ(outcome.failure, "");
    EXPECT_FALSE(outcome.stopped);
    EXPECT_EQ(outcome.found, FavoritesTree::kFound);
    EXPECT_EQ(listed_, tree_.expectedList());
    EXPECT_EQ(shown_, (std::vector<std::string>{"a.b http://example.jp/ab", "A http://example.jp/a",
                                                "O'Reilly http://oreilly.example/it's",
                                                "utf8 http://example.jp/ユニコード",
                                                "日本語サイト http://example.jp/日本語",
                                                "same http://example.jp/a"}));
    // 12.5 and 62.5 round to the even neighbour.
    EXPECT_EQ(progress_, (std::vector<int>{12, 25, 38, 50, 62, 75, 88, 100}));
    EXPECT_EQ(favorites_.RegisteredCount, FavoritesTree::kRegistered);
    EXPECT_EQ(favorites_.ExistingCount, FavoritesTree::kExisting);
    EXPECT_EQ(counters_.ShortcutErrorCount, FavoritesTree::kFailed);
    EXPECT_EQ(counters_.ShortcutNoTargetCount, 1);
    EXPECT_EQ(counters_.ShortcutBadCallCount, 1);
    EXPECT_TRUE(store_.HasSearchResult); // the last favorite was registered already
    std::vector<Entry> expected = FavoritesTree::Registered();
    for (const Entry& e : FavoritesTree::Added()) {
        expected.push_back(e);
    }
    EXPECT_EQ(EntryRowsByXlrd(store_.DataFilePath), rowsOf(expected));
}

TEST_F(Import, ASecondImportFindsEverythingRegistered) {
    WriteDataFile(store_.DataFilePath, FavoritesTree::Registered());
    run();
    auto before = ReadBytes(store_.DataFilePath);
    ResetImportCounts(favorites_, counters_);
    run();
    EXPECT_EQ(favorites_.RegisteredCount, 0);
    EXPECT_EQ(favorites_.ExistingCount, FavoritesTree::kRegistered + FavoritesTree::kExisting);
    EXPECT_EQ(ReadBytes(store_.DataFilePath), before); // nothing new: not even saved
}

TEST_F(Import, AStopEndsAfterTheCurrentFileWithItsRowsSaved) {
    WriteDataFile(store_.DataFilePath, FavoritesTree::Registered());
    onEvents_ = [this] { favorites_.ImportCancelRequested = listed_.size() == 2; };
    ImportOutcome outcome = run();
    EXPECT_TRUE(outcome.stopped);
    EXPECT_EQ(outcome.failure, "");
    EXPECT_EQ(listed_.size(), 2u);
    EXPECT_EQ(favorites_.RegisteredCount, 2);
    std::vector<Entry> added = FavoritesTree::Added();
    EXPECT_EQ(EntryRowsByXlrd(store_.DataFilePath),
              rowsOf({FavoritesTree::Registered()[0], added[0], added[1]}));
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

TEST_F(Import, AFailedInsertStopsWithTheFileAsTheCountsSay) {
    // No serial is left after the highest one, so the first new favorite fails.
    Entry last = FavoritesTree::Added()[0];
    last.serial = 2147483647;
    WriteDataFile(store_.DataFilePath, {last});
    auto before = ReadBytes(store_.DataFilePath);
    ImportOutcome outcome = run();
    EXPECT_NE(outcome.failure.find("シリアル番号"), std::string::npos) << outcome.failure;
    EXPECT_EQ(listed_.size(), 2u);
    EXPECT_EQ(favorites_.ExistingCount, 1);
    EXPECT_EQ(favorites_.RegisteredCount, 0);
    EXPECT_EQ(ReadBytes(store_.DataFilePath), before);
}

TEST_F(Import, ADataFileThatCannotBeReadIsReportedAndLeftAsItWas) {
    struct Case {
        const char* name;
        std::string bytes; // empty: no file
    } cases[] = {{"missing", ""}, {"not a workbook", "this is no workbook"}};
    for (const Case& c : cases) {
        std::filesystem::remove(store_.DataFilePath);
        if (!c.bytes.empty()) {
            WriteBytes(store_.DataFilePath,
                       std::vector<std::uint8_t>(c.bytes.begin(), c.bytes.end()));
        }
        ImportOutcome outcome = run();
        EXPECT_NE(outcome.failure.find("トモリネ.xls"), std::string::npos)
            << c.name << outcome.failure;
        EXPECT_EQ(favorites_.RegisteredCount + favorites_.ExistingCount, 0) << c.name;
        EXPECT_EQ(std::filesystem::exists(store_.DataFilePath), !c.bytes.empty()) << c.name;
        if (!c.bytes.empty()) {
            auto bytes = ReadBytes(store_.DataFilePath);
            EXPECT_EQ(std::string(bytes.begin(), bytes.end()), c.bytes) << c.name;
        }
    }
}

TEST_F(Import, TheModuleConnectionIsClosedBeforeWriting) {
    WriteDataFile(store_.DataFilePath, FavoritesTree::Registered());
    store_.ModuleConnection =
        std::make_unique<Connection>(Connection::ConnectionString(store_.DataFilePath));
    store_.ConnectionOpen = true;
    run();
    EXPECT_FALSE(store_.ConnectionOpen);
    EXPECT_EQ(store_.ModuleConnection, nullptr);
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
    EXPECT_EQ(outcome.found, 0);
    EXPECT_EQ(outcome.failure, "");
    EXPECT_FALSE(outcome.stopped);
    EXPECT_FALSE(favorites.ImportCancelRequested);
}

} // namespace
