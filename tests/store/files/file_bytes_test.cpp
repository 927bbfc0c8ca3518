// Reading a file: regular files only, never blocking, within a bound; for bytes or a workbook.
#include "store/files/file_bytes.h"
#include "store/xls/xls_file.h"
#include "support/hostile_files.h"
#include "support/temp_dir.h"
#include "support/workbook_errors.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>

namespace tomorine {
namespace {

using namespace test;

TEST(ReadFileBytes, RefusesWhatIsNoRegularFileOrTooLargeAndReadsUpToTheBound) {
    const std::tuple<Hostile, std::uintmax_t, const char*> cases[] = {
        {Hostile::Fifo, 0, "通常のファイルではありません"},
        {Hostile::DevZero, 0, "通常のファイルではありません"},
        {Hostile::Folder, 0, "フォルダです"},
        {Hostile::Huge, kMaxWorkbookFileBytes + 1, "2 GB を超えている"},
    };
    for (const auto& [kind, size, says] : cases) {
        SCOPED_TRACE(says);
        TempDir dir;
        const std::filesystem::path path = dir / "book.xls";
        MakeHostile(kind, path, size);
        for (bool workbook : {false, true}) {
            const auto read = [&] {
                workbook ? (void)ReadXlsFile(path) : (void)ReadFileBytes(path);
            };
            EXPECT_TRUE(FailsWith(read, WorkbookFault::FileAccess, {path.string(), says}));
        }
    }
    TempDir dir;
    std::vector<std::uint8_t> bytes(1000);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{0});
    WriteBytes(dir / "f", bytes);
    WriteBytes(dir / "empty", {});
    EXPECT_TRUE(std::ranges::equal(ReadFileBytes(dir / "f", 1000), bytes));
    EXPECT_TRUE(ReadFileBytes(dir / "empty").empty());
}

} // namespace
} // namespace tomorine
