// A real data file: a new one as xlrd reads it, serials, whole-cell deletion,
// texts read back chunk by chunk; one writer at a time, and the
// kept workbook that never serves a changed file.
#include "store/cache/workbook_cache.h"
#include "store/data_connection.h"
#include "store/data_file_change.h"
#include "store/data_workbook.h"
#include "store/entry.h"
#include "store/entry_deletion.h"
#include "store/entry_registration.h"
#include "store/files/data_file_lock.h"
#include "store/live_entries.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "support/data_file.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"
#include "upgrade/compact.h"

#include <barrier>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <gmock/gmock.h>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using U = std::u16string;
using namespace std::chrono_literals;

// A file's bytes and modification time: what "left as it was" means.
auto StateOf(const fs::path& file) {
    return std::pair(ReadBytes(file), fs::last_write_time(file));
}

// Moves the modification time a day back, so that any rewrite shows.
auto AgedState(const fs::path& file) {
    fs::last_write_time(file, fs::last_write_time(file) - std::chrono::hours(24));
    return StateOf(file);
}

Entry NewEntry(int n, std::u16string title = u"題名") {
    return {n,  u"https://example.com/" + FromUtf8(std::to_string(n)), std::move(title), u"", u"",
            u""};
}

// An entry row of column 1, URL1 and 削除 0, as the data file stores it.
void AppendEntryRow(Sheet& sheet, Cell first, const std::u16string& url) {
    Sheet::Row row(58);
    row[0] = std::move(first);
    row[1] = Cell::text(url);
    row[57] = Cell::number(0);
    sheet.appendRow(std::move(row));
}

class DataFile : public ::testing::Test {
protected:
    DataFile() { CreateDataWorkbook(file); }
    TempDir dir;
    const fs::path file = dir / "データ.xls";
};

TEST_F(DataFile, CreateReplacesNoFile) {
    EXPECT_EQ(QueryMaxSerial(file), 0);
    const auto before = AgedState(file);
    try {
        CreateDataWorkbook(file);
        ADD_FAILURE() << "replaced";
    } catch (const WorkbookError& e) {
        EXPECT_EQ(e.fault(), WorkbookFault::FileAccess);
        EXPECT_THAT(e.description(), ::testing::HasSubstr(file.string()));
    }
    EXPECT_EQ(StateOf(file), before);
}

// Only a whole number cell equal to the serial matches, never the dummy row
// (serial 0); the next serial follows the highest, not the count.
TEST(DeleteEntryBySerial, RemovesTheFirstWholeCellMatchAmongEntryRowsOnly) {
    const std::pair<Cell, std::u16string> entries[] = {
        {Cell::number(12), u"12"}, {Cell::text(u"2"), u"text 2"}, {Cell::number(2), u"2"},
        {Cell::number(22), u"22"}, {Cell(), u"no serial"},        {Cell::number(2), u"2 again"}};
    // The serial, and the sheet row it removes (0: none).
    for (auto [serial, row] : {std::pair{2, 5}, {0, 0}}) {
        TempDir dir;
        const fs::path path = dir / "data.xls";
        Workbook book = NewDataWorkbook();
        for (const auto& [first, url] : entries) {
            AppendEntryRow(book.sheet(1), first, url);
        }
        WriteXlsFile(book, path);
        const auto before = AgedState(path);
        if (row != 0) {
            book.sheet(1).deleteRow(row);
        }

        EXPECT_EQ(DeleteEntryBySerial(path, serial), row != 0) << serial;
        EXPECT_TRUE(SameAsXlrd(book, XlrdValues(path))) << serial;
        EXPECT_EQ(StateOf(path) != before, row != 0)
            << "written although nothing was found, or not";
        EXPECT_EQ(NextSerial(path), 23);
    }
}

// Trailing spaces, stored as tabs chunk by chunk, read back as spaces.
TEST_F(DataFile, TrailingSpacesReadBackAsWritten) {
    const Entry written{0,      u"http://a/  ", u"題名  ",
                        u"副 ", u"news  ",      U(122, u'c') + u"      end"};
    ASSERT_EQ(RegisterEntry(file, written), 1);
    Recordset rows = LiveEntries(file);
    const Entry read = ReadEntry(rows);
    for (auto text :
         {&Entry::url, &Entry::title, &Entry::subtitle, &Entry::keywords, &Entry::comment}) {
        EXPECT_EQ(ToUtf8(read.*text), ToUtf8(written.*text));
    }
}

// Serials of the rows from row 3 on, read from the file itself.
std::vector<int> SerialsOnDisk(const fs::path& file) {
    const Workbook book = ReadXlsFile(file);
    const Sheet& sheet = book.sheet(EntrySheetName);
    std::vector<int> serials;
    for (int row = 3; row <= sheet.lastUsedRow(); ++row) {
        serials.push_back(static_cast<int>(sheet.cell(row, 1).asNumber()));
    }
    return serials;
}

TEST_F(DataFile, ThreadsAddingAtOnceKeepEveryEntryWithUniqueSerials) {
    constexpr int kThreads = 4, kRounds = 25;
    std::barrier start(kThreads);
    std::vector<std::vector<int>> reported(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < kRounds; ++round) {
                start.arrive_and_wait();
                reported[t].push_back(RegisterEntry(file, NewEntry(t * 1000 + round)));
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    const std::vector<int> stored = SerialsOnDisk(file);
    const std::set<int> unique(stored.begin(), stored.end());
    ASSERT_EQ(stored.size(), static_cast<size_t>(kThreads * kRounds));
    EXPECT_EQ(unique.size(), stored.size());
    for (const std::vector<int>& serials : reported) {
        for (int serial : serials) {
            EXPECT_TRUE(unique.contains(serial)) << serial;
        }
    }
}

TEST_F(DataFile, AWriterOfAnotherProcessIsWaitedForThenNamed) {
    const fs::path folder = DataFileLock::LockedFolderOf(file);
    EXPECT_EQ(folder, fs::canonical(dir.path()));
    // flock(1) keeps the lock in a process of its own for two seconds.
    const std::string command = "flock -x '" + folder.string() + "' -c 'touch \"" +
                                (dir / "held").string() + "\"; sleep 2' &";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (int i = 0; i < 200 && !fs::exists(dir / "held"); ++i) {
        std::this_thread::sleep_for(10ms);
    }
    try {
        DataFileLock lock(file, 300ms);
        FAIL() << "the lock was taken while another process held it";
    } catch (const WorkbookError& e) {
        EXPECT_THAT(e.description(), ::testing::AllOf(::testing::HasSubstr("データ.xls"),
                                                      ::testing::HasSubstr("書き込み中")));
    }
    // Within the default wait the other writer is done and this one goes on.
    EXPECT_EQ(RegisterEntry(file, NewEntry(1)), 1);
}

// Adds from `processes` processes at once, beside one that re-saves the file
// as compact does; the serials they reported.
std::multiset<int> AddFromProcesses(const fs::path& file, int processes, int adds) {
    int pipe[2];
    EXPECT_EQ(::pipe(pipe), 0);
    std::vector<pid_t> children;
    for (int p = 0; p <= processes; ++p) {
        if (const pid_t child = ::fork(); child != 0) {
            children.push_back(child);
            continue;
        }
        StoreState store{.dataFilePath = file};
        UpgradeState state{.dataChanged = true};
        UpgradeContext compact{store, state, {}};
        for (int i = 0; i < adds; ++i) {
            try {
                if (p == processes) {
                    CompactDataWorkbook(compact, file);
                    continue;
                }
                const std::int32_t serial = RegisterEntry(file, NewEntry(i));
                (void)!::write(pipe[1], &serial, sizeof serial);
            } catch (const std::exception&) {
            }
        }
        ::_exit(0);
    }
    ::close(pipe[1]);
    std::multiset<int> reported;
    for (std::int32_t serial = 0; ::read(pipe[0], &serial, sizeof serial) == sizeof serial;) {
        reported.insert(serial);
    }
    ::close(pipe[0]);
    for (const pid_t child : children) {
        ::waitpid(child, nullptr, 0);
    }
    return reported;
}

// Whatever an older or killed writer left where the lock file used to be
// stops no writer, and writers of other processes, compact among them, still
// take turns: each reported add is on disk, once. A folder that cannot be
// locked refuses.
TEST_F(DataFile, WritersTakeTurnsWhateverLiesWhereTheLockFileWas) {
    const fs::path old = dir / ".データ.xls.lock";
    const std::function<void()> leftovers[] = {
        [&] { fs::create_directory(old); }, [&] { fs::create_symlink(dir / "nowhere", old); },
        [&] { // to its user as root's 0600 file: not to be opened
            std::ofstream(old) << "x";
            fs::permissions(old, fs::perms::none);
        }};
    std::multiset<int> reported;
    for (const auto& leave : leftovers) {
        leave();
        reported.merge(AddFromProcesses(file, 3, 15));
        const std::vector<int> stored = SerialsOnDisk(file);
        EXPECT_EQ(std::multiset<int>(stored.begin(), stored.end()), reported);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2);
        fs::remove_all(old);
    }
    if (::geteuid() == 0) {
        return; // root reads any folder
    }
    const auto before = ReadBytes(file);
    fs::permissions(dir.path(), fs::perms::owner_write | fs::perms::owner_exec);
    try {
        RegisterEntry(file, NewEntry(1));
        ADD_FAILURE() << "written unlocked";
    } catch (const WorkbookError& e) {
        EXPECT_THAT(e.description(), ::testing::AllOf(::testing::HasSubstr(dir.path().string()),
                                                      ::testing::HasSubstr("権限を与える")));
    }
    fs::permissions(dir.path(), fs::perms::owner_all);
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);
}

TEST_F(DataFile, AFailedChangeSavesNothingAndServesNothingHalfDone) {
    RegisterEntry(file, NewEntry(1));
    const std::vector<std::uint8_t> before = ReadBytes(file);
    EXPECT_THROW(ChangeDataFileByConnection(file,
                                            [&](Connection& connection) {
                                                InsertEntry(connection, 2,
                                                            ChunkValues(NewEntry(2)));
                                                throw std::runtime_error("stop");
                                            }),
                 std::runtime_error);
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_EQ(QueryMaxSerial(file), 1);
    EXPECT_FALSE(DataFileLock::HeldByThisThread(file));
}

void SetModified(const fs::path& file, const timespec& when) {
    const timespec times[2] = {when, when};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
}

std::u16string TitleOf(const std::shared_ptr<const Workbook>& book) {
    return std::u16string(book->sheet(EntrySheetName).cell(3, 18).asText());
}

enum class Replace { Renamed, InPlace };

class KeptWorkbook : public ::testing::TestWithParam<Replace> {};

// Files old enough to be trusted, replaced by one of the same size and
// modification time: what the kept workbook can not tell by those alone.
TEST_P(KeptWorkbook, IsNeverServedForAChangedOrMissingFileNorChangedByAWriter) {
    TempDir dir;
    const fs::path file = dir / "data.xls", other = dir / "other.xls";
    const timespec old{1000000000, 5};
    WriteEntries(file, {NewEntry(1, u"あいう")});
    WriteEntries(other, {NewEntry(1, u"かきく")});
    ASSERT_EQ(fs::file_size(file), fs::file_size(other));
    SetModified(file, old);
    std::this_thread::sleep_for(150ms); // past the time a fresh change is doubted for
    WorkbookCache cache;
    const std::shared_ptr<const Workbook> reader = cache.load(file);
    cache.takeForChange(file)->sheet(EntrySheetName).setCell(3, 18, Cell::text(u"変更"));
    EXPECT_EQ(TitleOf(reader), u"あいう");
    EXPECT_EQ(TitleOf(cache.load(file)), u"あいう"); // read again and kept, trusted

    if (GetParam() == Replace::Renamed) {
        fs::rename(other, file);
    } else {
        fs::copy_file(other, file, fs::copy_options::overwrite_existing);
    }
    SetModified(file, old);
    EXPECT_EQ(TitleOf(cache.load(file)), u"かきく");
    fs::remove(file);
    EXPECT_THROW(cache.load(file), WorkbookError);
}

INSTANTIATE_TEST_SUITE_P(Both, KeptWorkbook, ::testing::Values(Replace::Renamed, Replace::InPlace));

} // namespace
} // namespace tomorine::test
