// Reading a file: regular files only, never blocking, within a bound; for bytes or a workbook.
#include "store/files/file_bytes.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "support/hostile_files.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>

namespace tomorine {
namespace {

using test::Hostile;

TEST(ReadFileBytes, RefusesWhatIsNoRegularFileOrTooLargeAndReadsUpToTheBound) {
    constexpr std::uint64_t kMax = kMaxWorkbookFileBytes;
    const struct {
        Hostile kind;
        std::uintmax_t bytes;
        std::uint64_t bound;
        const char* says;
    } cases[] = {
        {Hostile::Fifo, 0, kMax, "通常のファイルではありません"},
        {Hostile::DevZero, 0, kMax, "通常のファイルではありません"},
        {Hostile::Folder, 0, kMax, "フォルダです"},
        {Hostile::Huge, kMax + 1, kMax, "2 GB を超えている"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        test::TempDir dir;
        const std::filesystem::path path = dir / "book.xls";
        test::MakeHostile(c.kind, path, c.bytes);
        for (bool workbook : {false, c.bound == kMax}) {
            try {
                workbook ? (void)ReadXlsFile(path) : (void)ReadFileBytes(path, c.bound);
                ADD_FAILURE() << "read";
            } catch (const WorkbookError& e) {
                EXPECT_EQ(e.fault(), WorkbookFault::FileAccess);
                EXPECT_NE(std::string(e.description()).find(path.string()), std::string::npos);
                EXPECT_NE(std::string(e.description()).find(c.says), std::string::npos)
                    << e.description();
            }
        }
    }
    test::TempDir dir;
    std::vector<std::uint8_t> bytes(1000);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{0});
    test::WriteBytes(dir / "f", bytes);
    test::WriteBytes(dir / "empty", {});
    EXPECT_TRUE(std::ranges::equal(ReadFileBytes(dir / "f", 1000), bytes));
    EXPECT_TRUE(ReadFileBytes(dir / "empty").empty());
}

} // namespace
} // namespace tomorine
