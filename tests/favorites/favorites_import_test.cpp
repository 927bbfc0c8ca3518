// The import engine on a Favorites tree built at run time, with the rows it
// writes read back by xlrd.
#include "favorites/favorites_import.h"
#include "favorites/find_files.h"
#include "favorites/registered_urls.h"
#include "favorites_tree.h"
#include "import_fixture.h"
#include "store/data_connection.h"
#include "store/data_workbook.h"
#include "store/files/data_file_lock.h"
#include "store/table/connection.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "support/bounded_run.h"
#include "support/entry_rows.h"
#include "support/temp_dir.h"

#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace tomorine;
using namespace tomorine::test;

namespace {

// Every URL stored or added is known past the table's growth, and none that
// differs only in a character's high byte or where its chunks are cut.
TEST(RegisteredUrls, KnowsEachUrlByEveryCharacterAndChunk) {
    Connection connection("bm.xls", NewDataWorkbook());
    std::vector<std::u16string> cut(EntryColumnCount - 2);
    cut[0] = u"http://c/";
    cut[1] = u"x";
    InsertEntry(connection, 1, cut);
    RegisteredUrls urls(connection);
    const auto url = [](int i, char16_t c) { return u"http://b/" + std::u16string(i, c); };
    for (int i = 1; i <= 300; ++i) {
        urls.add(url(i, u'あ'));
    }
    for (int i = 1; i <= 300; ++i) {
        EXPECT_TRUE(urls.contains(url(i, u'あ'))) << i;
        EXPECT_FALSE(urls.contains(url(i, u'\u3142'))) << i;
    }
    EXPECT_FALSE(urls.contains(u"http://c/x")); // stored cut after "http://c/"
}

class Import : public ::testing::Test {
protected:
    Import() : tree_(dir_ / "Favorites") {
        store_.dataFilePath = dir_ / "トモリネ.xls";
        WriteEntries(store_.dataFilePath, FavoritesTree::Registered());
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
    EXPECT_FALSE(outcome.failure);
    EXPECT_EQ(outcome.found, FavoritesTree::kFound);
    EXPECT_EQ(listed_, tree_.expectedList());
    EXPECT_EQ(std::tie(favorites_.registeredCount, favorites_.existingCount),
              std::tuple(FavoritesTree::kRegistered, FavoritesTree::kExisting));
    EXPECT_EQ(std::tie(counters_.shortcutErrorCount, counters_.shortcutNoTargetCount,
                       counters_.shortcutBadCallCount),
              std::tuple(FavoritesTree::kFailed, 1, 1));
    std::vector<Entry> expected = FavoritesTree::Registered(), added = FavoritesTree::Added();
    expected.insert(expected.end(), added.begin(), added.end());
    EXPECT_TRUE(StoresAsAdded(store_.dataFilePath, expected));

    ResetImportCounts(favorites_, counters_);
    WriteShortcut(tree_.root() / "script.url", "javascript:alert(1)");
    run();
    EXPECT_EQ(favorites_.existingCount, FavoritesTree::kRegistered + FavoritesTree::kExisting);
    EXPECT_EQ(favorites_.skippedCount, 1); // a script is no link
}

// Saves after every change, each under the data file's lock; the second fails.
TEST_F(Import, AFailedSaveLeavesTheCountsOfTheLastSave) {
    ImportOptions options;
    options.saveInterval = std::chrono::milliseconds(0);
    options.save = [saves = 0](const Workbook& book, const std::filesystem::path& path) mutable {
        EXPECT_TRUE(DataFileLock::HeldByThisThread(path));
        if (++saves == 2) {
            throw WorkbookError(WorkbookFault::DiskFull, "ディスクがいっぱいです");
        }
        WriteXlsFile(book, path);
    };
    const ImportOutcome outcome = run(std::move(options));
    EXPECT_STREQ(outcome.failure.value().what(), "ディスクがいっぱいです");
    EXPECT_EQ(listed_.size(), 2u);
    EXPECT_EQ(favorites_.registeredCount, 1);
    EXPECT_EQ(favorites_.existingCount + counters_.shortcutErrorCount, 0);
    EXPECT_TRUE(StoresAsAdded(store_.dataFilePath,
                              {FavoritesTree::Registered()[0], FavoritesTree::Added()[0]}));
}

// Files of a folder first, then each subfolder by name without case; deep,
// looping and unreadable trees and special files walked in bounded memory
// (without privileges), a folder that cannot be read passed over.
TEST(FindFiles, FolderFilesFirstThenEachSubfolderWithinBounds) {
    auto touch = [](int fd, const char* name) { close(openat(fd, name, O_CREAT, 0644)); };
    const std::pair<std::function<void(int)>, std::string> cases[] = {
        {[&](int fd) {
             for (const char* folder : {"B", "B/inner", "a"}) {
                 mkdirat(fd, folder, 0755);
             }
             for (const char* file : {"z.url", "Y.Url", "B/inner/i.url", "a/skip.txt", "B/A.URL"}) {
                 touch(fd, file);
             }
             symlinkat("..", fd, "a/loop"), mkfifoat(fd, "p.url", 0);
             symlinkat("/dev/zero", fd, "zero.url");
         },
         "p.url Y.Url z.url zero.url B/A.URL B/inner/i.url | 0"},
        {[&](int fd) {
             for (int level = 0; level < 5000; ++level) {
                 mkdirat(fd, "d", 0755);
                 const int inner = openat(fd, "d", O_RDONLY);
                 dup2(inner, fd), close(inner);
             }
             touch(fd, "a.url");
         },
         "| 0"},
        {[&](int fd) { mkdirat(fd, "a", 0), mkdirat(fd, "b", 0755), touch(fd, "b/b.url"); },
         "b/b.url | 1"},
    };
    for (const auto& [make, expected] : cases) {
        TempDir dir;
        chmod(dir.path().c_str(), 0755);
        const int fd = open(dir.path().c_str(), O_RDONLY);
        make(fd);
        close(fd);
        ExpectWithinBounds([&] {
            ASSERT_TRUE(geteuid() != 0 || (setgid(65534) == 0 && setuid(65534) == 0));
            const FoundFiles found = FindFiles(dir.path(), u"*.URL");
            std::string names;
            for (const std::filesystem::path& file : found.files) {
                const std::string relative = file.lexically_relative(dir.path());
                names += relative.size() < 99 ? relative + " " : "";
            }
            EXPECT_EQ(names + "| " + std::to_string(found.unreadableFolders), expected);
        });
        RemoveChain(dir.path(), "d", "a.url");
    }
}

} // namespace
