// Reading a file: only regular files, never blocking, never past a bound.
#include "store/files/file_bytes.h"
#include "store/workbook/workbook_error.h"
#include "support/temp_dir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tomorine {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

enum class Kind { Fifo, DevZero, Folder, OverBound, HugeSparse };

void Make(Kind kind, const fs::path& path) {
    switch (kind) {
    case Kind::Fifo:
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        break;
    case Kind::DevZero:
        fs::create_symlink("/dev/zero", path);
        break;
    case Kind::Folder:
        fs::create_directory(path);
        break;
    case Kind::OverBound:
        test::WriteBytes(path, std::vector<std::uint8_t>(1001, 'x'));
        break;
    case Kind::HugeSparse: // over the workbook bound, yet costs no disk
        test::WriteBytes(path, {});
        fs::resize_file(path, kMaxWorkbookFileBytes + 1);
        break;
    }
}

TEST(ReadFileBytes, RefusesWhatIsNoRegularFileOrTooLarge) {
    const struct {
        Kind kind;
        std::uint64_t bound;
        const char* says;
    } cases[] = {
        {Kind::Fifo, kMaxWorkbookFileBytes, "通常のファイルではありません"},
        {Kind::DevZero, kMaxWorkbookFileBytes, "通常のファイルではありません"},
        {Kind::Folder, kMaxWorkbookFileBytes, "フォルダです"},
        {Kind::OverBound, 1000, "1000 バイト を超えている"},
        {Kind::HugeSparse, kMaxWorkbookFileBytes, "2 GB を超えている"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        TempDir dir;
        const fs::path path = dir / "book.xls";
        Make(c.kind, path);
        try {
            ReadFileBytes(path, c.bound);
            ADD_FAILURE() << "read";
        } catch (const WorkbookError& e) {
            EXPECT_EQ(e.number(), ErrorNumber::FileAccess);
            EXPECT_NE(std::string(e.description()).find(path.string()), std::string::npos);
            EXPECT_NE(std::string(e.description()).find(c.says), std::string::npos)
                << e.description();
        }
    }
}

TEST(ReadFileBytes, ReadsAFileOfExactlyTheBound) {
    TempDir dir;
    std::vector<std::uint8_t> bytes(1000);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7);
    }
    test::WriteBytes(dir / "f", bytes);
    const FileBytes read = ReadFileBytes(dir / "f", 1000);
    EXPECT_EQ(std::vector<std::uint8_t>(read.begin(), read.end()), bytes);
    EXPECT_TRUE(ReadFileBytes(dir / "f", 1000).size() == 1000);
    test::WriteBytes(dir / "empty", {});
    EXPECT_TRUE(ReadFileBytes(dir / "empty").empty());
}

} // namespace
} // namespace tomorine
