// Deleting an entry's row by its serial, on a real data file.
#include "data_file.h"
#include "store/data_workbook.h"
#include "store/entry_deletion.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"

#include <gmock/gmock.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;

// Column 1 of each entry row, and the URL1 that names the row.
const std::pair<Cell, std::u16string> kRows[] = {
    {Cell::number(12), u"12"}, {Cell::text(u"2"), u"text 2"}, {Cell::number(2), u"2"},
    {Cell::number(22), u"22"}, {Cell(), u"no serial"},        {Cell::number(2), u"2 again"}};

// URL1 of the rows left on disk, the dummy row first.
std::vector<std::string> RowsOnDisk(const fs::path& path) {
    const Workbook book = ReadXlsFile(path);
    std::vector<std::string> rows;
    for (int r = 2; r <= book.sheet(1).lastUsedRow(); ++r) {
        rows.push_back(ToUtf8(book.sheet(1).cell(r, 2).asText()));
    }
    return rows;
}

TEST(DeleteEntryBySerial, RemovesTheFirstWholeCellMatchAmongEntryRowsOnly) {
    const std::pair<std::int32_t, std::vector<std::string>> cases[] = {
        {2, {"dummy", "12", "text 2", "22", "no serial", "2 again"}},
        {1, {"dummy", "12", "text 2", "2", "22", "no serial", "2 again"}},
        // The dummy row holds serial 0; it is no entry and never deleted.
        {0, {"dummy", "12", "text 2", "2", "22", "no serial", "2 again"}}};
    for (const auto& [serial, left] : cases) {
        TempDir dir;
        const fs::path path = dir / "data.xls";
        Workbook book = NewDataWorkbook();
        for (const auto& [first, name] : kRows) {
            Sheet::Row cells(58);
            cells[0] = first;
            cells[1] = Cell::text(name);
            cells[57] = Cell::number(0);
            book.sheet(1).appendRow(std::move(cells));
        }
        WriteXlsFile(book, path);
        const FileState before = AgedState(path);

        const bool found = DeleteEntryBySerial(path, serial);
        EXPECT_THAT(RowsOnDisk(path), ::testing::ElementsAreArray(left)) << serial;
        EXPECT_EQ(found, left.size() == std::size(kRows)) << serial;
        EXPECT_EQ(found, StateOf(path) != before) << "written although nothing was found, or not";
        EXPECT_EQ(FolderContents(dir.path()).size(), 1u);
    }
}

TEST(DeleteEntryBySerial, AFileItCannotUseIsAnErrorAndStaysAsItWas) {
    TempDir dir;
    Workbook noEntrySheet;
    noEntrySheet.addSheet(u"Sheet1").setCell(3, 1, Cell::number(1));
    WriteXlsFile(noEntrySheet, dir / "other.xls");
    WriteBytes(dir / "text.xls", {'n', 'o', 't'});
    for (auto [file, number] : {std::pair{"other.xls", ErrorNumber::SubscriptOutOfRange},
                                {"text.xls", ErrorNumber::NotInExpectedFormat}}) {
        const FileState before = AgedState(dir / file);
        try {
            DeleteEntryBySerial(dir / file, 1);
            ADD_FAILURE() << file << " was used";
        } catch (const WorkbookError& e) {
            EXPECT_EQ(e.number(), number) << file;
        }
        EXPECT_EQ(StateOf(dir / file), before) << file;
    }
}

} // namespace
} // namespace tomorine::test
