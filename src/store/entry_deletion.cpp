#include "store/entry_deletion.h"

#include "store/entry.h"
#include "store/xls/xls_file.h"

namespace tomorine {

bool DeleteEntryBySerial(const std::filesystem::path& dataFile, std::int32_t serial) {
    Workbook book = ReadXlsFile(dataFile);
    Sheet& sheet = book.sheet(EntrySheetName);
    int row = sheet.findInColumn1(Cell::number(serial));
    if (row == 0) {
        return false;
    }
    sheet.deleteRow(row);
    WriteXlsFile(book, dataFile);
    return true;
}

} // namespace tomorine
