// Deleting an entry's row by its serial, on a real data file.
#include "data_file.h"
#include "store/data_workbook.h"
#include "store/entry_deletion.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;

// Column 1 of each entry row (a number, or a text where marked) and the
// row's URL1, which names it.
struct Row {
    Cell first;
    std::u16string name;
};

const std::vector<Row>& Rows() {
    static const std::vector<Row> rows{{Cell::number(12), u"12"},    {Cell::text(u"2"), u"text 2"},
                                       {Cell::number(2), u"2"},      {Cell::number(22), u"22"},
                                       {Cell::number(-2), u"-2"},    {Cell(), u"no serial"},
                                       {Cell::number(2), u"2 again"}};
    return rows;
}

void WriteDataFile(const fs::path& path) {
    Workbook book = NewDataWorkbook();
    for (const Row& row : Rows()) {
        Sheet::Row cells(58);
        cells[0] = row.first;
        cells[1] = Cell::text(row.name);
        cells[57] = Cell::number(0);
        book.sheet(1).appendRow(std::move(cells));
    }
    WriteXlsFile(book, path);
}

// URL1 of rows 2 onwards, the dummy row first; every entry row left must
// still hold the column-1 cell it was written with.
std::vector<std::string> RowsOnDisk(const fs::path& path) {
    const Workbook book = ReadXlsFile(path);
    const Sheet& sheet = book.sheet(u"トモリネ");
    std::vector<std::string> rows;
    for (int r = 2; r <= sheet.lastUsedRow(); ++r) {
        const std::u16string& name = sheet.cell(r, 2).asText();
        for (const Row& row : Rows()) {
            if (row.name == name) {
                EXPECT_EQ(sheet.cell(r, 1), row.first) << ToUtf8(name);
            }
        }
        rows.push_back(ToUtf8(name));
    }
    return rows;
}

struct Deletion {
    std::int32_t serial;
    std::vector<std::string> left; // URL1 of the rows left, dummy row first
};

void PrintTo(const Deletion& d, std::ostream* out) {
    *out << "serial " << d.serial;
}

class DeleteEntryBySerialTable : public ::testing::TestWithParam<Deletion> {};

TEST_P(DeleteEntryBySerialTable, RemovesTheFirstWholeCellMatchOnly) {
    TempDir dir;
    const fs::path path = dir / "data.xls";
    WriteDataFile(path);
    const FileState before = AgedState(path);

    const bool found = DeleteEntryBySerial(path, GetParam().serial);
    EXPECT_THAT(RowsOnDisk(path), ::testing::ElementsAreArray(GetParam().left));
    const std::size_t rowsBefore = 1 + Rows().size(); // the dummy row and the entries
    EXPECT_EQ(found, GetParam().left.size() == rowsBefore - 1);
    EXPECT_EQ(found, StateOf(path) != before) << "written although nothing was found, or not";
    EXPECT_EQ(FolderContents(dir.path()).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DeleteEntryBySerialTable,
    ::testing::Values(
        Deletion{2, {"dummy", "12", "text 2", "22", "-2", "no serial", "2 again"}},
        Deletion{12, {"dummy", "text 2", "2", "22", "-2", "no serial", "2 again"}},
        Deletion{22, {"dummy", "12", "text 2", "2", "-2", "no serial", "2 again"}},
        Deletion{-2, {"dummy", "12", "text 2", "2", "22", "no serial", "2 again"}},
        Deletion{1, {"dummy", "12", "text 2", "2", "22", "-2", "no serial", "2 again"}},
        // The dummy row holds serial 0; it is no entry and never deleted.
        Deletion{0, {"dummy", "12", "text 2", "2", "22", "-2", "no serial", "2 again"}}),
    [](const auto& info) {
        return "Serial" + std::string(info.param.serial < 0 ? "Minus" : "") +
               std::to_string(std::abs(info.param.serial));
    });

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
