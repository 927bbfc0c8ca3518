// One writer at a time on a data file, and the kept workbook that never
// serves a changed file.
#include "store/cache/workbook_cache.h"
#include "store/data_connection.h"
#include "store/data_file_change.h"
#include "store/data_workbook.h"
#include "store/entry.h"
#include "store/entry_deletion.h"
#include "store/entry_statements.h"
#include "store/files/data_file_lock.h"
#include "store/table/connection.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "support/data_file.h"
#include "support/temp_dir.h"

#include <barrier>
#include <cstdlib>
#include <fcntl.h>
#include <gmock/gmock.h>
#include <set>
#include <sys/stat.h>
#include <thread>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

Entry NewEntry(int n, std::u16string title = u"題名") {
    return {n,  u"https://example.com/" + FromUtf8(std::to_string(n)), std::move(title), u"", u"",
            u""};
}

std::int32_t AddEntry(const fs::path& file, const Entry& entry) {
    std::int32_t serial = 0;
    ChangeDataFileByStatements(file, [&](Connection& connection) {
        serial = NextSerial(connection);
        connection.execute(BuildInsertStatement(serial, entry));
    });
    return serial;
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

class DataFile : public ::testing::Test {
protected:
    DataFile() { CreateDataWorkbook(file); }
    TempDir dir;
    const fs::path file = dir / "データ.xls";
};

TEST_F(DataFile, ThreadsAddingAtOnceKeepEveryEntryWithUniqueSerials) {
    constexpr int kThreads = 4, kRounds = 25;
    std::barrier start(kThreads);
    std::vector<std::vector<int>> reported(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < kRounds; ++round) {
                start.arrive_and_wait();
                reported[t].push_back(AddEntry(file, NewEntry(t * 1000 + round)));
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
    const fs::path lockFile = DataFileLock::LockPathOf(file);
    EXPECT_EQ(lockFile, dir.path() / ".データ.xls.lock");
    // flock(1) keeps the lock in a process of its own for two seconds.
    const std::string command = "flock -x '" + lockFile.string() + "' -c 'touch \"" +
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
    EXPECT_EQ(AddEntry(file, NewEntry(1)), 1);
}

TEST_F(DataFile, TheLockNestsWithinAThreadAndMakesOtherThreadsWait) {
    const auto otherThreadGetsIt = [&] {
        bool got = true;
        std::thread([&] {
            try {
                DataFileLock other(file, 100ms);
            } catch (const WorkbookError&) {
                got = false;
            }
        }).join();
        return got;
    };
    {
        DataFileLock outer(file);
        { DataFileLock inner(file, 0ms); }
        EXPECT_FALSE(otherThreadGetsIt());
    }
    EXPECT_FALSE(DataFileLock::HeldByThisThread(file));
    EXPECT_TRUE(otherThreadGetsIt());
}

TEST_F(DataFile, AFailedChangeSavesNothingAndServesNothingHalfDone) {
    AddEntry(file, NewEntry(1));
    const std::vector<std::uint8_t> before = ReadBytes(file);
    EXPECT_THROW(ChangeDataFileByStatements(file,
                                            [&](Connection& connection) {
                                                connection.execute(
                                                    BuildInsertStatement(2, NewEntry(2)));
                                                throw std::runtime_error("stop");
                                            }),
                 std::runtime_error);
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_EQ(QueryMaxSerial(file), 1);
    EXPECT_FALSE(DataFileLock::HeldByThisThread(file));
}

TEST_F(DataFile, DeletionAndExecuteWorkOnTheFileAsItIsNow) {
    AddEntry(file, NewEntry(1));
    AddEntry(file, NewEntry(2));
    // Another program rewrites the file behind the kept workbook.
    WriteEntries(file, {NewEntry(7)});
    EXPECT_EQ(NextSerial(file), 8);
    EXPECT_FALSE(DeleteEntryBySerial(file, 1));
    EXPECT_EQ(ExecuteOnDataFile(file, BuildInsertStatement(8, NewEntry(8))), 1);
    EXPECT_TRUE(DeleteEntryBySerial(file, 7));
    EXPECT_EQ(SerialsOnDisk(file), std::vector<int>{8});
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
    WorkbookCache cache;
    const std::shared_ptr<const Workbook> reader = cache.load(file);
    cache.takeForChange(file)->sheet(EntrySheetName).setCell(3, 18, Cell::text(u"変更"));
    EXPECT_EQ(TitleOf(reader), u"あいう");

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
