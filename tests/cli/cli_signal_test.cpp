// tomorine-cli ended by a signal or a file-size limit in the middle of a save: the data
// file is the old or the new one, and no temporary file is left beside it.
#include "cli_process.h"
#include "store/entry.h"
#include "store/workbook/utf.h"
#include "store/xls/xls_file.h"
#include "support/entry_rows.h"
#include "support/temp_dir.h"
#include "upgrade_fixture.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <random>
#include <thread>

namespace tomorine::test {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using std::chrono::microseconds;

// Files whose name marks them as an atomic save's temporary file.
static std::vector<std::string> TemporaryFilesIn(const fs::path& folder) {
    std::vector<std::string> found;
    std::ranges::copy_if(FileNames(folder), std::back_inserter(found), [](const std::string& name) {
        return name.starts_with(".") && name.find(".tmp") != std::string::npos;
    });
    return found;
}

// A run of `launch` sent `signal` at a random moment within `took`.
static CliOutcome SignalledRun(const CliLaunch& launch, int signal, microseconds took,
                               std::mt19937& random) {
    CliProcess process(launch);
    std::this_thread::sleep_for(
        microseconds(std::uniform_int_distribution<long>(0, took.count())(random)));
    process.signal(signal);
    return process.wait();
}

// A data file large enough that a save takes a while.
static void WriteLargeDataFile(const fs::path& path, int entries) {
    std::vector<Entry> rows;
    for (int i = 1; i <= entries; ++i) {
        const std::u16string n = FromUtf8(std::to_string(i));
        rows.push_back(
            {i, u"https://example.jp/" + n, u"ページ" + n, {}, {}, std::u16string(120, u'あ') + n});
    }
    WriteEntries(path, rows);
}

class InterruptedSave : public ::testing::Test {
protected:
    static constexpr int kEntries = 3000;
    TempDir dir;
    const fs::path data = dir / "データ.xls";
};

TEST_F(InterruptedSave, LeavesNoTemporaryFileAndAWholeDataFile) {
    WriteLargeDataFile(data, kEntries);
    const CliLaunch add{{"add", "--data", data.string(), "--url", "u", "--title", "t"},
                        dir / "home"};

    // The quickest of a few runs, so that most signals land while one runs.
    auto took = microseconds::max();
    for (int run = 0; run < 3; ++run) {
        const auto start = Clock::now();
        ASSERT_EQ(RunCliProcess(add).status, 0);
        took = std::min(took, std::chrono::duration_cast<microseconds>(Clock::now() - start));
    }
    int entries = kEntries + 3;

    std::mt19937 random(7);
    int signalled = 0;
    for (int round = 0; round < 24; ++round) {
        const int signal = round % 2 == 0 ? SIGTERM : SIGINT;
        const CliOutcome run = SignalledRun(add, signal, took, random);
        ASSERT_TRUE(run.status == 0 || run.status == 128 + signal) << run.status << run.err;
        signalled += run.status != 0;
        EXPECT_TRUE(TemporaryFilesIn(dir.path()).empty()) << TemporaryFilesIn(dir.path())[0];
        const int now = ReadXlsFile(data).sheet(EntrySheetName).lastUsedRow() - 2;
        ASSERT_TRUE(now == entries || now == entries + 1) << now;
        entries = now;
    }
    EXPECT_GT(signalled, 0) << "no run was stopped; the test proves nothing";
}

// The data file is the old or the merged one; a copy leaves its place only
// once its entries are in the data file.
TEST_F(InterruptedSave, KilledConflictMergeLosesNoCopy) {
    const fs::path copy = dir / "データ.sync-conflict-20261206-134501-ABCDEF1.xls";
    const fs::path aside = dir / "conflicts" / copy.filename();
    WriteLargeDataFile(copy, kEntries + 1);
    WriteLargeDataFile(data, kEntries);
    const auto old = ReadBytes(data), copyBytes = ReadBytes(copy);
    const CliLaunch merge{{"conflicts", "--data", data.string(), "--merge"}, dir / "home"};
    const auto start = Clock::now();
    ASSERT_EQ(RunCliProcess(merge).status, 0);
    const auto took = std::chrono::duration_cast<microseconds>(Clock::now() - start);

    std::mt19937 random(11);
    int killed = 0;
    for (int round = 0; round < 12; ++round) {
        fs::remove_all(dir / "conflicts");
        WriteBytes(data, old);
        WriteBytes(copy, copyBytes);
        const int status = SignalledRun(merge, SIGKILL, took, random).status;
        killed += status == 128 + SIGKILL;
        const bool merged = ReadBytes(data) != old;
        if (merged) {
            EXPECT_EQ(ReadXlsFile(data).sheet(EntrySheetName).lastUsedRow() - 2, kEntries + 1);
        }
        EXPECT_TRUE(fs::exists(copy) != fs::exists(aside)) << round;
        EXPECT_TRUE(merged || fs::exists(copy)) << "moved before its entries were saved";
    }
    EXPECT_GT(killed, 0) << "no run was killed; the test proves nothing";
}

// The backup is put back: the conversion's own handler takes the signal.
TEST_F(InterruptedSave, CtrlCStopsAConversionAndKeepsTheOldFile) {
    WriteXlsFile(OldDataWorkbook(OldRows(20000)), data);
    const auto before = ReadBytes(data);
    CliProcess process({{"check-version", "--data", data.string(), "--yes"}, dir / "home"});
    for (int wait = 0; wait < 10000 && process.errorsSoFar().find(" %") == std::string::npos;
         ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    process.signal(SIGINT);
    const CliOutcome run = process.wait();
    EXPECT_NE(run.status, 128 + SIGINT) << "ended by the signal instead of stopping the work";
    EXPECT_EQ(ReadBytes(data), before);
    EXPECT_TRUE(TemporaryFilesIn(dir.path()).empty());
}

// Not death by SIGXFSZ, and the file as it was.
TEST_F(InterruptedSave, FileSizeLimitGivesAClearError) {
    WriteLargeDataFile(data, 300);
    const auto before = ReadBytes(data);
    ASSERT_GT(before.size(), 64u * 1024);
    const CliOutcome run = RunCliProcess(
        {{"add", "--data", data.string(), "--url", "u", "--title", "t"}, dir / "home", 64 * 1024});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(data.string()), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("上限"), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(data), before);
    EXPECT_TRUE(TemporaryFilesIn(dir.path()).empty());
}

} // namespace tomorine::test
