// Saving replaces a file whole or not at all; saves killed half-way leave the old or the new file,
// and what they leave beside it goes with the next save made under the data file's lock.
#include "store/files/atomic_file.h"
#include "store/files/atomic_file_writer.h"
#include "store/files/data_file_lock.h"
#include "support/hostile_files.h"
#include "support/small_disk.h"
#include "support/temp_dir.h"
#include "support/workbook_errors.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tomorine {
namespace {

namespace fs = std::filesystem;
using namespace test;
using Bytes = std::vector<std::uint8_t>;

const Bytes kOld{'o', 'l', 'd'}, kNew(1 << 20, 'n');

enum Failure { FolderMissing, DiskFull, ReadOnlyFolder, ReadOnlyFile, Pipe };

// Read-only cases need a user other than root (test_files_unprivileged).
TEST(FailedSave, LeavesEverythingAsItWas) {
    for (auto [failure, number] : {std::pair{FolderMissing, WorkbookFault::PathNotFound},
                                   {DiskFull, WorkbookFault::FileAccess},
                                   {ReadOnlyFolder, WorkbookFault::PermissionDenied},
                                   {ReadOnlyFile, WorkbookFault::PermissionDenied},
                                   {Pipe, WorkbookFault::FileAccess}}) {
        if (number == WorkbookFault::PermissionDenied && ::geteuid() == 0) {
            continue;
        }
        SCOPED_TRACE(failure);
        TempDir dir;
        fs::create_directory(dir / "ro");
        const fs::path old = dir / "ro" / "book.xls";
        WriteBytes(old, kOld);
        ::mkfifo((dir / "ro" / "pipe.xls").c_str(), 0600); // never replaced by a file
        const fs::path target = failure == FolderMissing ? dir / "missing" / "book.xls"
                                : failure == Pipe        ? dir / "ro" / "pipe.xls"
                                                         : old;
        if (number == WorkbookFault::PermissionDenied) {
            fs::permissions(failure == ReadOnlyFile ? old : dir / "ro",
                            fs::perms::owner_read | fs::perms::owner_exec);
        }
        const std::set<std::string> before = Listing(dir.path());
        const auto save = [&] {
            const auto disk = failure == DiskFull ? std::make_optional<SmallDisk>() : std::nullopt;
            WriteFileAtomically(target, kNew);
        };
        EXPECT_TRUE(FailsWith(save, number, {target.string()}));
        EXPECT_EQ(Listing(dir.path()), before) << "a file was left, removed or changed";
        EXPECT_EQ(ReadBytes(old), kOld);
    }
}

TEST(AtomicSave, WritesThroughALinkKeepingPermissionsAndNoTemporary) {
    TempDir dir;
    fs::create_directory(dir / "real");
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    WriteBytes(dir / "real" / "book.xls", kOld);
    fs::permissions(dir / "real" / "book.xls", mode);
    fs::create_symlink(dir / "real" / "book.xls", dir / "link.xls");

    WriteFileAtomically(dir / "link.xls", kNew);
    EXPECT_TRUE(fs::is_symlink(dir / "link.xls"));
    EXPECT_EQ(ReadBytes(dir / "real" / "book.xls"), kNew);
    EXPECT_EQ(fs::status(dir / "real" / "book.xls").permissions(), mode);
    EXPECT_EQ(FileNames(dir / "real"), std::set<std::string>{"book.xls"});
}

// A save by changes copies ranges of the old file file to file, or through a buffer from another
// file system; a source shorter than the range fails the save.
TEST(AtomicSave, CopiesRangesOfAnotherFile) {
    TempDir dir;
    Bytes source(3 << 20);
    for (std::size_t i = 0; i < source.size(); ++i) {
        source[i] = static_cast<std::uint8_t>(i * 7 + i / 4096);
    }
    const fs::path shm = "/dev/shm/tomorine-copy-" + std::to_string(::getpid());
    for (const fs::path& from : {dir / "source", shm}) {
        SCOPED_TRACE(from);
        WriteBytes(from, source);
        const int fd = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        AtomicFileWriter out(dir / "book.xls");
        out.write(kOld);
        out.copy(fd, 5, source.size() - 5);
        out.commit();
        Bytes expected = kOld;
        expected.insert(expected.end(), source.begin() + 5, source.end());
        EXPECT_EQ(ReadBytes(dir / "book.xls"), expected);
        EXPECT_THROW(AtomicFileWriter(dir / "book.xls").copy(fd, source.size() - 1, 2),
                     WorkbookError);
        ::close(fd);
        fs::remove(from);
    }
    EXPECT_EQ(FileNames(dir.path()), std::set<std::string>{"book.xls"});
}

void SaveLocked(const fs::path& target, const Bytes& bytes) {
    DataFileLock lock(target);
    WriteFileAtomically(target, bytes);
}

TEST(KilledSave, OldOrNewFileAndNoTemporaryAfterTheNextLockedSave) {
    TempDir dir;
    const fs::path book = dir / "book.xls";
    const Bytes old(1000, 'o'), a(4 << 20, 'a'), b(4 << 20, 'b');
    WriteBytes(book, old);
    std::mt19937 random(11);
    int roundsWithLeftovers = 0;
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i) {
                SaveLocked(book, i % 2 == 0 ? a : b);
            }
        }
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::uniform_int_distribution<int>(1, 40)(random)));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);

        const Bytes now = ReadBytes(book);
        EXPECT_TRUE(now == old || now == a || now == b) << "a broken file of " << now.size();
        for (const std::string& name : FileNames(dir.path())) {
            roundsWithLeftovers += name.starts_with(".book.xls.tmp");
        }
        SaveLocked(book, old);
        // The lock file of the killed save goes with the lock of the next one.
        EXPECT_EQ(FileNames(dir.path()), std::set<std::string>{"book.xls"});
    }
    EXPECT_GT(roundsWithLeftovers, 0) << "no kill hit a save; the test proves nothing";
}

// Only regular files named as our saves name them for this target go, and
// only when the save holds the lock.
TEST(KilledSave, CleanupRemovesOnlyThisTargetsTemporaryFiles) {
    const std::set<std::string> others = {".book.xls.tmp", ".book.xls.tmp12a", ".other.xls.tmp5",
                                          "book.xls.tmp5", ".book.xls.tmp12345678901"};
    const std::set<std::string> ours = {".book.xls.tmp0", ".book.xls.tmp987654321"};
    for (bool locked : {false, true}) {
        SCOPED_TRACE(locked ? "locked" : "not locked");
        TempDir dir;
        for (const auto& set : {others, ours}) {
            for (const std::string& name : set) {
                WriteBytes(dir / name, {'x'});
            }
        }
        fs::create_directory(dir / ".book.xls.tmp77"); // not a file: left alone
        const fs::path book = dir / "book.xls";
        locked ? SaveLocked(book, {'n'}) : WriteFileAtomically(book, Bytes{'n'});
        std::set<std::string> expected = others;
        expected.insert({"book.xls", ".book.xls.tmp77"});
        if (!locked) {
            expected.insert(ours.begin(), ours.end());
        }
        EXPECT_EQ(FileNames(dir.path()), expected);
    }
}

} // namespace
} // namespace tomorine
