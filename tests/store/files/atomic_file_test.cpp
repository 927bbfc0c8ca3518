// Saving replaces a file whole or not at all.
#include "store/files/atomic_file.h"
#include "store/workbook/workbook_error.h"
#include "support/temp_dir.h"

#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <sys/resource.h>
#include <unistd.h>

namespace tomorine {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
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

// Files may grow only to 64 KiB; writing past it fails with EFBIG instead of
// killing the process, as on a full disk.
struct SmallDisk {
    SmallDisk() {
        getrlimit(RLIMIT_FSIZE, &saved);
        previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved;
        lowered.rlim_cur = 64 * 1024;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~SmallDisk() {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
    }
    rlimit saved{};
    void (*previous)(int) = nullptr;
};

fs::path OldFile(const fs::path& dir) {
    test::WriteBytes(dir / "book.xls", kOld);
    return dir / "book.xls";
}

// The read-only cases stop only a user other than root: test_files_unprivileged
// runs them as one.
TEST(FailedSave, LeavesEverythingAsItWas) {
    const std::tuple<const char*, std::function<fs::path(const fs::path&)>, int> failures[] = {
        {"folder missing", [](const fs::path& dir) { return dir / "missing" / "book.xls"; },
         ErrorNumber::PathNotFound},
        {"disk full mid-write", OldFile, ErrorNumber::FileAccess},
        {"read-only folder",
         [](const fs::path& dir) {
             fs::create_directory(dir / "ro");
             const fs::path file = OldFile(dir / "ro");
             fs::permissions(dir / "ro", fs::perms::owner_read | fs::perms::owner_exec);
             return file;
         },
         ErrorNumber::PermissionDenied},
        {"read-only file",
         [](const fs::path& dir) {
             fs::permissions(OldFile(dir), fs::perms::owner_read);
             return dir / "book.xls";
         },
         ErrorNumber::PermissionDenied}};
    for (const auto& [name, prepare, number] : failures) {
        if (number == ErrorNumber::PermissionDenied && ::geteuid() == 0) {
            continue;
        }
        SCOPED_TRACE(name);
        TempDir dir;
        const fs::path target = prepare(dir.path());
        const std::set<std::string> before = Listing(dir.path());
        try {
            std::optional<SmallDisk> disk;
            if (number == ErrorNumber::FileAccess) {
                disk.emplace();
            }
            WriteFileAtomically(target, kNew);
            ADD_FAILURE() << "the save was reported as done";
        } catch (const WorkbookError& e) {
            EXPECT_EQ(e.number(), number) << e.description();
            EXPECT_NE(std::string(e.description()).find(target.string()), std::string::npos);
        }
        EXPECT_EQ(Listing(dir.path()), before) << "a file was left, removed or changed";
        if (fs::is_regular_file(target)) {
            EXPECT_EQ(ReadBytes(target), kOld);
        }
    }
}

TEST(AtomicSave, WritesThroughALinkKeepingPermissionsAndNoTemporary) {
    TempDir dir;
    fs::create_directory(dir / "real");
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(OldFile(dir / "real"), mode);
    fs::create_symlink(dir / "real" / "book.xls", dir / "link.xls");

    WriteFileAtomically(dir / "link.xls", kNew);
    EXPECT_TRUE(fs::is_symlink(dir / "link.xls"));
    EXPECT_EQ(ReadBytes(dir / "real" / "book.xls"), kNew);
    EXPECT_EQ(fs::status(dir / "real" / "book.xls").permissions(), mode);
    EXPECT_EQ(Listing(dir.path() / "real"), std::set<std::string>{"book.xls 1048576"});
}

} // namespace
} // namespace tomorine
