// One writer at a time on a data file, the kept workbook that never serves a
// changed file, and the every-live-entry select served from the sheet.
#include "store/cache/workbook_cache.h"
#include "store/data_connection.h"
#include "store/data_file_change.h"
#include "store/data_workbook.h"
#include "store/entry.h"
#include "store/entry_deletion.h"
#include "store/entry_statements.h"
#include "store/files/data_file_lock.h"
#include "store/table/connection.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"

#include <atomic>
#include <barrier>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>
#include <thread>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

Entry NewEntry(int n) {
    std::string url = "https://example.com/" + std::to_string(n);
    return Entry{0, std::u16string(url.begin(), url.end()), u"題名", u"", u"語", u""};
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
    Workbook book = ReadXlsFile(file);
    const Sheet& sheet = book.sheet(EntrySheetName);
    std::vector<int> serials;
    for (int row = 3; row <= sheet.lastUsedRow(); ++row) {
        serials.push_back(static_cast<int>(sheet.cell(row, 1).asNumber()));
    }
    return serials;
}

TEST(DataFileLock, threadsAddingAtOnceKeepEveryEntryWithUniqueSerials) {
    TempDir dir;
    const fs::path file = dir / "data.xls";
    CreateDataWorkbook(file);
    constexpr int kThreads = 4;
    constexpr int kRounds = 25;
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
    std::vector<int> stored = SerialsOnDisk(file);
    ASSERT_EQ(stored.size(), static_cast<size_t>(kThreads * kRounds));
    std::set<int> unique(stored.begin(), stored.end());
    EXPECT_EQ(unique.size(), stored.size());
    for (const std::vector<int>& serials : reported) {
        for (int serial : serials) {
            EXPECT_TRUE(unique.contains(serial)) << serial;
        }
    }
}

TEST(DataFileLock, aWriterOfAnotherProcessIsWaitedForThenNamed) {
    TempDir dir;
    const fs::path file = dir / "データ.xls";
    CreateDataWorkbook(file);
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
        EXPECT_NE(std::string(e.what()).find("データ.xls"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("書き込み中"), std::string::npos) << e.what();
    }
    // Within the default wait the other writer is done and this one goes on.
    EXPECT_EQ(AddEntry(file, NewEntry(1)), 1);
}

TEST(DataFileLock, nestsWithinAThreadAndMakesOtherThreadsWait) {
    TempDir dir;
    const fs::path file = dir / "data.xls";
    std::optional<DataFileLock> outer(std::in_place, file);
    {
        DataFileLock inner(file, 0ms);
        EXPECT_TRUE(DataFileLock::HeldByThisThread(file));
    }
    EXPECT_TRUE(DataFileLock::HeldByThisThread(file));
    std::atomic<bool> refused = false;
    std::thread([&] {
        try {
            DataFileLock other(file, 100ms);
        } catch (const WorkbookError&) {
            refused = true;
        }
    }).join();
    EXPECT_TRUE(refused);
    outer.reset();
    EXPECT_FALSE(DataFileLock::HeldByThisThread(file));
    std::thread([&] { DataFileLock other(file, 100ms); }).join();
}

TEST(DataFileChange, aFailedChangeSavesNothingAndServesNothingHalfDone) {
    TempDir dir;
    const fs::path file = dir / "data.xls";
    CreateDataWorkbook(file);
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

TEST(DataFileChange, deletionAndExecuteWorkOnTheFileAsItIsNow) {
    TempDir dir;
    const fs::path file = dir / "data.xls";
    CreateDataWorkbook(file);
    AddEntry(file, NewEntry(1));
    AddEntry(file, NewEntry(2));
    // Another program rewrites the file behind the kept workbook.
    Connection other(file, NewDataWorkbook());
    other.execute(BuildInsertStatement(7, NewEntry(7)));
    other.close();
    EXPECT_EQ(NextSerial(file), 8);
    EXPECT_FALSE(DeleteEntryBySerial(file, 1));
    EXPECT_EQ(ExecuteOnDataFile(file, BuildInsertStatement(8, NewEntry(8))), 1);
    EXPECT_TRUE(DeleteEntryBySerial(file, 7));
    EXPECT_EQ(SerialsOnDisk(file), std::vector<int>{8});
}

// Keeps `file`'s modification time while its content is replaced.
void SetModified(const fs::path& file, const timespec& when) {
    const timespec times[2] = {when, when};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
}

timespec ModifiedOf(const fs::path& file) {
    struct stat st {};
    EXPECT_EQ(::stat(file.c_str(), &st), 0);
    return st.st_mtim;
}

// A workbook whose only entry's title is `title`: equal-length titles give
// files of equal size.
void WriteWithTitle(const fs::path& file, const std::u16string& title) {
    Entry entry = NewEntry(1);
    entry.title = title;
    entry.serial = 1;
    Connection connection(file, NewDataWorkbook());
    connection.execute(BuildInsertStatement(1, entry));
    connection.close();
}

std::u16string TitleOf(const std::shared_ptr<const Workbook>& book) {
    return std::u16string(book->sheet(EntrySheetName).cell(3, 18).asText());
}

enum class Replace { Renamed, InPlace };

class KeptWorkbook : public ::testing::TestWithParam<Replace> {};

TEST_P(KeptWorkbook, aFileChangedWithinTheSameTickAndSizeIsReadAgain) {
    TempDir dir;
    const fs::path file = dir / "data.xls";
    const fs::path other = dir / "other.xls";
    WriteWithTitle(file, u"あいう");
    WriteWithTitle(other, u"かきく");
    ASSERT_EQ(fs::file_size(file), fs::file_size(other));
    WorkbookCache cache;
    const timespec modified = ModifiedOf(file);
    EXPECT_EQ(TitleOf(cache.load(file)), u"あいう");
    if (GetParam() == Replace::Renamed) {
        fs::rename(other, file);
    } else {
        fs::copy_file(other, file, fs::copy_options::overwrite_existing);
    }
    SetModified(file, modified);
    EXPECT_EQ(TitleOf(cache.load(file)), u"かきく");
}

INSTANTIATE_TEST_SUITE_P(Both, KeptWorkbook, ::testing::Values(Replace::Renamed, Replace::InPlace));

TEST(KeptWorkbook, anUnchangedFileIsNotReadAgain) {
    TempDir dir;
    const fs::path file = dir / "data.xls";
    WriteWithTitle(file, u"あいう");
    // Old enough that no change can hide in the clock's tick.
    std::this_thread::sleep_for(300ms);
    WorkbookCache cache;
    std::shared_ptr<const Workbook> first = cache.load(file);
    EXPECT_EQ(cache.load(file), first);
    fs::remove(file);
    EXPECT_THROW(cache.load(file), WorkbookError);
}

TEST(KeptWorkbook, aWriterGetsItsOwnCopyWhileReadersShareTheKeptOne) {
    TempDir dir;
    const fs::path file = dir / "data.xls";
    WriteWithTitle(file, u"あいう");
    SetModified(file, timespec{1000000000, 5});
    WorkbookCache cache;
    std::shared_ptr<const Workbook> reader = cache.load(file);
    std::shared_ptr<Workbook> writer = cache.takeForChange(file);
    EXPECT_NE(writer.get(), reader.get());
    writer->sheet(EntrySheetName).setCell(3, 18, Cell::text(u"変更"));
    EXPECT_EQ(TitleOf(reader), u"あいう");
}

// The select every search runs, served from the sheet, against the same
// statement run by SQLite (a trailing blank keeps it off the fast path).
void ExpectSameRows(const Workbook& book) {
    const std::u16string sql = u"select * from [トモリネ$] where 削除 = 0";
    Connection fast("/nonexistent/a.xls", book);
    Connection slow("/nonexistent/b.xls", book);
    Recordset a = fast.execute(sql);
    Recordset b = slow.execute(sql + u" ");
    ASSERT_EQ(a.recordCount(), b.recordCount());
    ASSERT_EQ(a.fieldCount(), b.fieldCount());
    for (int i = 0; i < a.fieldCount(); ++i) {
        EXPECT_EQ(a.fieldName(i), b.fieldName(i));
    }
    for (; !a.eof(); a.moveNext(), b.moveNext()) {
        for (int i = 0; i < a.fieldCount(); ++i) {
            EXPECT_TRUE(a.field(i) == b.field(i)) << "row " << a.position() << " field " << i;
        }
    }
}

TEST(LiveEntrySelect, givesWhatSqliteGives) {
    Workbook book = NewDataWorkbook();
    {
        Connection connection("/nonexistent/c.xls", std::move(book));
        for (int n = 1; n <= 5; ++n) {
            connection.execute(BuildInsertStatement(n, NewEntry(n)));
        }
        book = connection.workbook();
    }
    Sheet& sheet = book.sheet(EntrySheetName);
    sheet.setCell(4, 58, Cell::number(1)); // deleted
    sheet.setCell(5, 58, Cell());          // no flag at all
    sheet.setCell(9, 1, Cell::number(9));  // a gap of empty rows before it
    sheet.setCell(9, 58, Cell::number(0));
    ExpectSameRows(book);
    // Cells SQLite hands back in another form: each sends the select to SQLite.
    const std::vector<std::pair<int, Cell>> odd = {
        {58, Cell::text(u"0")},    {18, Cell::number(12)},       {18, Cell::text(u"")},
        {18, Cell::boolean(true)}, {18, Cell::text(u"a\xD800")}, {1, Cell::text(u"x")},
        {58, Cell::number(-0.0)},
    };
    for (const auto& [column, cell] : odd) {
        Workbook changed = book;
        changed.sheet(EntrySheetName).setCell(6, column, cell);
        ExpectSameRows(changed);
    }
}

TEST(LiveEntrySelect, rowsReadInPlaceOutliveWritesAndTheConnection) {
    TempDir dir;
    auto book = std::make_shared<Workbook>(NewDataWorkbook());
    Connection connection(dir / "d.xls", book);
    connection.execute(BuildInsertStatement(1, NewEntry(1)));
    Recordset rows = connection.execute(u"select * from [トモリネ$] where 削除 = 0");
    connection.execute(BuildUpdateStatement(1, NewEntry(5)));
    connection.execute(BuildInsertStatement(2, NewEntry(2)));
    EXPECT_TRUE(connection.changed());
    connection.close();
    ASSERT_EQ(rows.recordCount(), 1);
    EXPECT_EQ(rows.field(u"URL1").asText(), u"https://example.com/1");
}

} // namespace
} // namespace tomorine::test
