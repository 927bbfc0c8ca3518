// Saving replaces a file whole or not at all.
#include "store/files/atomic_file.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"

#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tomorine {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

const std::vector<std::uint8_t> kOld{'o', 'l', 'd', ' ', 'b', 'o', 'o', 'k'};

std::vector<std::uint8_t> NewBytes(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i % 253);
    }
    return bytes;
}

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

// Files may grow only to `limit` bytes; writing past it fails with EFBIG
// instead of killing the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved_;
        lowered.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

struct FailureCase {
    const char* name;
    // Prepares `dir` and returns the path to save to.
    std::function<fs::path(const fs::path& dir)> prepare;
    int number;
    bool needsNonRoot = false;
    bool fillsTheDisk = false;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

const FailureCase kFailures[] = {
    {"FolderMissing", [](const fs::path& dir) { return dir / "missing" / "book.xls"; },
     ErrorNumber::PathNotFound},
    {"TargetIsAFolder",
     [](const fs::path& dir) {
         fs::create_directory(dir / "book.xls");
         WriteBytes(dir / "book.xls" / "inside", kOld);
         return dir / "book.xls";
     },
     ErrorNumber::FileAccess},
    {"ParentIsAFile",
     [](const fs::path& dir) {
         WriteBytes(dir / "plain", kOld);
         return dir / "plain" / "book.xls";
     },
     ErrorNumber::PathNotFound},
    {"DiskFullMidWrite",
     [](const fs::path& dir) {
         WriteBytes(dir / "book.xls", kOld);
         return dir / "book.xls";
     },
     ErrorNumber::FileAccess, false, true},
    {"ReadOnlyFolder",
     [](const fs::path& dir) {
         fs::create_directory(dir / "ro");
         WriteBytes(dir / "ro" / "book.xls", kOld);
         fs::permissions(dir / "ro", fs::perms::owner_read | fs::perms::owner_exec);
         return dir / "ro" / "book.xls";
     },
     ErrorNumber::PermissionDenied, true},
};

class FailedSave : public ::testing::TestWithParam<FailureCase> {};

TEST_P(FailedSave, LeavesEverythingAsItWas) {
    const FailureCase& c = GetParam();
    if (c.needsNonRoot && ::geteuid() == 0) {
        GTEST_SKIP() << "permission bits do not stop root; test_files_unprivileged runs this";
    }
    TempDir dir;
    const fs::path target = c.prepare(dir.path());
    const std::set<std::string> before = Listing(dir.path());
    try {
        const std::vector<std::uint8_t> bytes = NewBytes(1 << 20);
        std::optional<FileSizeLimit> limit;
        if (c.fillsTheDisk) {
            limit.emplace(64 * 1024);
        }
        WriteFileAtomically(target, bytes);
        ADD_FAILURE() << "the save was reported as done";
    } catch (const WorkbookError& e) {
        EXPECT_EQ(e.number(), c.number) << e.description();
        EXPECT_NE(std::string(e.description()).find(target.string()), std::string::npos)
            << e.description();
    }
    EXPECT_EQ(Listing(dir.path()), before) << "a file was left, removed or changed";
    if (fs::is_regular_file(target)) {
        EXPECT_EQ(ReadBytes(target), kOld);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, FailedSave, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AtomicSave, ReplacesTheFileAndLeavesNoTemporary) {
    TempDir dir;
    WriteBytes(dir / "book.xls", kOld);
    const std::vector<std::uint8_t> bytes = NewBytes(300000);
    WriteFileAtomically(dir / "book.xls", bytes);
    EXPECT_EQ(ReadBytes(dir / "book.xls"), bytes);
    EXPECT_EQ(Listing(dir.path()), std::set<std::string>{"book.xls 300000"});
}

TEST(AtomicSave, CreatesAMissingFile) {
    TempDir dir;
    WriteFileAtomically(dir / "新しいブック.xls", kOld);
    EXPECT_EQ(ReadBytes(dir / "新しいブック.xls"), kOld);
    EXPECT_EQ(Listing(dir.path()).size(), 1u);
}

TEST(AtomicSave, KeepsTheReplacedFilesPermissions) {
    TempDir dir;
    WriteBytes(dir / "book.xls", kOld);
    fs::permissions(dir / "book.xls",
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    WriteFileAtomically(dir / "book.xls", NewBytes(10));
    EXPECT_EQ(fs::status(dir / "book.xls").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(AtomicSave, WritesThroughASymbolicLink) {
    TempDir dir;
    fs::create_directory(dir / "real");
    WriteBytes(dir / "real" / "book.xls", kOld);
    fs::create_symlink(dir / "real" / "book.xls", dir / "link.xls");
    WriteFileAtomically(dir / "link.xls", NewBytes(10));
    EXPECT_TRUE(fs::is_symlink(dir / "link.xls"));
    EXPECT_EQ(ReadBytes(dir / "real" / "book.xls"), NewBytes(10));
    EXPECT_EQ(Listing(dir.path() / "real").size(), 1u);
}

TEST(AtomicCopy, CopiesOverTheTargetOrLeavesItAsItWas) {
    TempDir dir;
    WriteBytes(dir / "a.xls", NewBytes(3000));
    WriteBytes(dir / "b.xls", kOld);
    CopyFileAtomically(dir / "a.xls", dir / "b.xls");
    EXPECT_EQ(ReadBytes(dir / "b.xls"), NewBytes(3000));

    EXPECT_THROW(CopyFileAtomically(dir / "missing.xls", dir / "b.xls"), WorkbookError);
    EXPECT_THROW(CopyFileAtomically(dir / "a.xls", dir / "gone" / "b.xls"), WorkbookError);
    EXPECT_EQ(ReadBytes(dir / "b.xls"), NewBytes(3000));
    EXPECT_EQ(Listing(dir.path()).size(), 2u);
}

} // namespace
} // namespace tomorine
