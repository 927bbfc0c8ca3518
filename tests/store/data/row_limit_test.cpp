// A data file at the format's 65,536 rows a sheet.
#include "data_file.h"
#include "store/data_connection.h"
#include "store/data_workbook.h"
#include "store/entry_statements.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using ::testing::AllOf;
using ::testing::HasSubstr;

constexpr int kLastRow = 65536;

Entry Page(int n) {
    const std::u16string number = FromUtf8(std::to_string(n));
    return {0, u"https://example.jp/" + number, u"ページ" + number, u"", u"", u""};
}

// Header, dummy row and entries 1, 2, ... up to `rows` used rows.
void WriteDataFile(const fs::path& path, int rows) {
    Workbook book = NewDataWorkbook();
    Sheet& sheet = book.sheet(1);
    for (int serial = 1; serial <= rows - 2; ++serial) {
        Sheet::Row row(58);
        row[0] = Cell::number(serial);
        row[1] = Cell::text(Page(serial).url);
        row[17] = Cell::text(Page(serial).title);
        row[57] = Cell::number(0);
        sheet.appendRow(std::move(row));
    }
    WriteXlsFile(book, path);
}

// One row short of the limit: the next entry fills the sheet, the one after
// it is refused and the file stays as it was.
TEST(RowLimit, TheLastRowIsFilledAndTheNextInsertRefused) {
    TempDir dir;
    const fs::path path = dir / "full.xls";
    WriteDataFile(path, kLastRow - 1);

    EXPECT_EQ(Register(path, Page(kLastRow - 2)), kLastRow - 2);
    const nlohmann::json last = XlrdValues(path, XlrdMode::Strict, {kLastRow - 1});
    EXPECT_EQ(last["sheets"][0]["nrows"], kLastRow);
    EXPECT_EQ(last["sheets"][0]["cells"][1][3], ToUtf8(Page(kLastRow - 2).url));

    const FileState before = AgedState(path);
    try {
        ExecuteOnDataFile(path, BuildInsertStatement(kLastRow - 1, Page(kLastRow - 1)));
        FAIL() << "a 65,537th row was written";
    } catch (const WorkbookError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::SheetRule);
        EXPECT_THAT(e.description(), AllOf(HasSubstr("トモリネ"), HasSubstr("65536")));
    }
    EXPECT_EQ(StateOf(path), before);
    EXPECT_EQ(FolderContents(dir.path()).size(), 1u) << "a temporary file was left";
}

TEST(RowLimit, AFullDataFileStillAnswersAndTakesUpdates) {
    TempDir dir;
    const fs::path path = dir / "full.xls";
    WriteDataFile(path, kLastRow);
    EXPECT_EQ(QueryMaxSerial(path), kLastRow - 2);

    Entry changed = Page(1);
    changed.title = u"書き換えた題";
    ExecuteOnDataFile(path, BuildUpdateStatement(kLastRow - 2, changed));
    const nlohmann::json last = XlrdValues(path, XlrdMode::Strict, {kLastRow - 1});
    EXPECT_EQ(last["sheets"][0]["nrows"], kLastRow);
    EXPECT_EQ(last["sheets"][0]["cells"][2][3], "書き換えた題");
}

} // namespace
} // namespace tomorine::test
