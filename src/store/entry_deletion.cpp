#include "store/entry_deletion.h"

#include "store/data_file_change.h"
#include "store/entry.h"

namespace tomorine {

namespace {

// Entries start in row 3: the header and the dummy row (serial 0) are no
// entries and are never deleted.
constexpr int FirstEntryRow = 3;

int FindEntryRow(const Sheet& sheet, std::int32_t serial) {
    const Cell wanted = Cell::number(serial);
    for (int row = FirstEntryRow; row <= sheet.lastUsedRow(); ++row) {
        if (sheet.cell(row, 1) == wanted) {
            return row;
        }
    }
    return 0;
}

} // namespace

bool DeleteEntryBySerial(const std::filesystem::path& dataFile, std::int32_t serial) {
    return ChangeDataWorkbook(dataFile, [serial](Workbook& book) {
        Sheet& sheet = book.sheet(EntrySheetName);
        const int row = FindEntryRow(sheet, serial);
        if (row == 0) {
            return false;
        }
        sheet.deleteRow(row);
        return true;
    });
}

} // namespace tomorine
