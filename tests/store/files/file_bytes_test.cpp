// Reading a file: only regular files, never blocking, never past a bound.
#include "store/files/file_bytes.h"
#include "store/workbook/workbook_error.h"
#include "support/hostile_files.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tomorine {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

TEST(ReadFileBytes, RefusesWhatIsNoRegularFileOrTooLarge) {
    const struct {
        test::Hostile kind;
        std::uintmax_t bytes;
        std::uint64_t bound;
        const char* says;
    } cases[] = {
        {test::Hostile::Fifo, 0, kMaxWorkbookFileBytes, "通常のファイルではありません"},
        {test::Hostile::DevZero, 0, kMaxWorkbookFileBytes, "通常のファイルではありません"},
        {test::Hostile::Folder, 0, kMaxWorkbookFileBytes, "フォルダです"},
        {test::Hostile::Huge, 1001, 1000, "1000 バイト を超えている"},
        {test::Hostile::Huge, kMaxWorkbookFileBytes + 1, kMaxWorkbookFileBytes,
         "2 GB を超えている"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        TempDir dir;
        const fs::path path = dir / "book.xls";
        test::MakeHostile(c.kind, path, c.bytes);
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
