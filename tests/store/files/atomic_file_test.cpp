// Saving replaces a file whole or not at all.
#include "store/files/atomic_file.h"
#include "store/workbook/workbook_error.h"
#include "support/small_disk.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <set>
#include <unistd.h>

namespace tomorine {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::SmallDisk;
using test::TempDir;

const std::vector<std::uint8_t> kOld{'o', 'l', 'd'};
const std::vector<std::uint8_t> kNew(1 << 20, 'n');

// Every path under `dir` with its size, to see that nothing was left behind.
std::set<std::string> Listing(const fs::path& dir) {
    std::set<std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        const std::string size =
            entry.is_regular_file() ? " " + std::to_string(entry.file_size()) : "";
        entries.insert(fs::relative(entry.path(), dir).string() + size);
    }
    return entries;
}

enum Failure { FolderMissing, DiskFull, ReadOnlyFolder, ReadOnlyFile };

// Read-only cases need a user other than root (test_files_unprivileged).
TEST(FailedSave, LeavesEverythingAsItWas) {
    for (auto [failure, number] : {std::pair{FolderMissing, ErrorNumber::PathNotFound},
                                   {DiskFull, ErrorNumber::FileAccess},
                                   {ReadOnlyFolder, ErrorNumber::PermissionDenied},
                                   {ReadOnlyFile, ErrorNumber::PermissionDenied}}) {
        if (number == ErrorNumber::PermissionDenied && ::geteuid() == 0) {
            continue;
        }
        SCOPED_TRACE(failure);
        TempDir dir;
        fs::create_directory(dir / "ro");
        const fs::path old = dir / "ro" / "book.xls";
        test::WriteBytes(old, kOld);
        const fs::path target = failure == FolderMissing ? dir / "missing" / "book.xls" : old;
        if (number == ErrorNumber::PermissionDenied) {
            fs::permissions(failure == ReadOnlyFile ? old : dir / "ro",
                            fs::perms::owner_read | fs::perms::owner_exec);
        }
        const std::set<std::string> before = Listing(dir.path());
        try {
            std::optional<SmallDisk> disk;
            if (failure == DiskFull) {
                disk.emplace();
            }
            WriteFileAtomically(target, kNew);
            ADD_FAILURE() << "the save was reported as done";
        } catch (const WorkbookError& e) {
            EXPECT_EQ(e.number(), number) << e.description();
            EXPECT_NE(std::string(e.description()).find(target.string()), std::string::npos);
        }
        EXPECT_EQ(Listing(dir.path()), before) << "a file was left, removed or changed";
        EXPECT_EQ(ReadBytes(old), kOld);
    }
}

TEST(AtomicSave, WritesThroughALinkKeepingPermissionsAndNoTemporary) {
    TempDir dir;
    fs::create_directory(dir / "real");
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    test::WriteBytes(dir / "real" / "book.xls", kOld);
    fs::permissions(dir / "real" / "book.xls", mode);
    fs::create_symlink(dir / "real" / "book.xls", dir / "link.xls");

    WriteFileAtomically(dir / "link.xls", kNew);
    EXPECT_TRUE(fs::is_symlink(dir / "link.xls"));
    EXPECT_EQ(ReadBytes(dir / "real" / "book.xls"), kNew);
    EXPECT_EQ(fs::status(dir / "real" / "book.xls").permissions(), mode);
    EXPECT_EQ(Listing(dir.path() / "real"), std::set<std::string>{"book.xls 1048576"});
}

} // namespace
} // namespace tomorine
