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
#include "store/xls/xls_file.h"
#include "support/entry_rows.h"
#include "support/temp_dir.h"
#include "support/workbook_errors.h"
#include "support/xls_peer.h"
#include "upgrade/compact.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <set>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
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

class DataFile : public ::testing::Test {
protected:
    DataFile() { CreateDataWorkbook(file); }
    TempDir dir;
    const fs::path file = dir / "データ.xls";
};

TEST_F(DataFile, CreateReplacesNoFile) {
    EXPECT_EQ(QueryMaxSerial(file), 0);
    const auto before = AgedState(file);
    EXPECT_TRUE(
        FailsWith([&] { CreateDataWorkbook(file); }, WorkbookFault::FileAccess, {file.string()}));
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
            Sheet::Row cells = EntryRow(0, {{u"URL1", url}});
            cells[0] = first;
            book.sheet(1).appendRow(cells);
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
                        u"副 ", u"news  ",      std::u16string(122, u'c') + u"      end"};
    ASSERT_EQ(RegisterEntry(file, written), 1);
    const Entry read = ReadEntry(LiveEntries(file));
    for (auto text :
         {&Entry::url, &Entry::title, &Entry::subtitle, &Entry::keywords, &Entry::comment}) {
        EXPECT_EQ(ToUtf8(read.*text), ToUtf8(written.*text));
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
    EXPECT_TRUE(FailsWith([&] { DataFileLock lock(file, 300ms); }, WorkbookFault::FileAccess,
                          {"データ.xls", "書き込み中"}));
    // Within the default wait the other writer is done and this one goes on.
    EXPECT_EQ(RegisterEntry(file, NewEntry(1)), 1);
}

// Adds from `processes` processes at once, beside one that re-saves the file
// as compact does, each with a second thread adding; the serials they reported.
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
        const auto work = [&](bool compacts) {
            for (int i = 0; i < adds; ++i) {
                std::int32_t serial = 0;
                try {
                    if (compacts) {
                        CompactDataWorkbook(compact, file);
                        continue;
                    }
                    serial = RegisterEntry(file, NewEntry(i));
                } catch (const std::exception& error) {
                    // Only outwaiting another writer may fail; -1 is stored by no one.
                    const bool waited =
                        std::string(error.what()).find("書き込み中") != std::string::npos;
                    serial = waited ? 0 : -1;
                }
                if (serial != 0) {
                    (void)!::write(pipe[1], &serial, sizeof serial);
                }
            }
        };
        std::jthread second(work, false);
        work(p == processes);
        second.join();
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
// stops no writer, and writers of other processes, compact among them, and
// of other threads still take turns: each reported add is on disk, once. A
// folder that cannot be locked refuses.
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
        const Workbook book = ReadXlsFile(file); // the file itself, no workbook kept
        std::multiset<int> stored;
        for (int row = 3; row <= book.sheet(1).lastUsedRow(); ++row) {
            stored.insert(static_cast<int>(book.sheet(1).cell(row, 1).asNumber()));
        }
        EXPECT_EQ(stored, reported);
        EXPECT_EQ(std::set<int>(stored.begin(), stored.end()).size(), stored.size());
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2);
        fs::remove_all(old);
    }
    if (::geteuid() == 0) {
        return; // root reads any folder
    }
    const auto before = ReadBytes(file);
    fs::permissions(dir.path(), fs::perms::owner_write | fs::perms::owner_exec);
    EXPECT_TRUE(FailsWith([&] { RegisterEntry(file, NewEntry(1)); }, WorkbookFault::FileAccess,
                          {dir.path().string(), "権限を与える"}));
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
    WriteEntries(file, {NewEntry(1, u"あいう")});
    WriteEntries(other, {NewEntry(1, u"かきく")});
    ASSERT_EQ(fs::file_size(file), fs::file_size(other));
    const auto old = fs::last_write_time(file) - std::chrono::hours(24 * 365);
    fs::last_write_time(file, old);
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
    fs::last_write_time(file, old);
    EXPECT_EQ(TitleOf(cache.load(file)), u"かきく");
    fs::remove(file);
    EXPECT_THROW(cache.load(file), WorkbookError);
}

INSTANTIATE_TEST_SUITE_P(Both, KeptWorkbook, ::testing::Values(Replace::Renamed, Replace::InPlace));

} // namespace
} // namespace tomorine::test
