#include "store/data_workbook.h"

#include "store/entry.h"
#include "store/files/data_file_lock.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"

namespace tomorine {

void WriteHeaderAndDummyRows(Sheet& sheet) {
    const std::vector<std::u16string>& names = EntryColumnNames();
    Sheet::Row header;
    Sheet::Row dummy;
    for (int column = 1; column <= EntryColumnCount; ++column) {
        header.push_back(Cell::text(names[column - 1]));
        if (column == 1) {
            dummy.push_back(Cell::number(0));
        } else if (column <= 17) {
            dummy.push_back(Cell::text(u"dummy"));
        } else if (column <= 57) {
            dummy.push_back(Cell::text(u"ダミー"));
        } else {
            dummy.push_back(Cell::number(1));
        }
    }
    sheet.replaceRow(1, std::move(header));
    sheet.replaceRow(2, std::move(dummy));
}

Workbook NewDataWorkbook() {
    Workbook book;
    WriteHeaderAndDummyRows(book.addSheet(std::u16string(EntrySheetName)));
    return book;
}

void CreateDataWorkbook(const std::filesystem::path& path) {
    // Two programs creating the file at once: the second finds it there.
    DataFileLock lock(path);
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(path, ec))) {
        throw WorkbookError(WorkbookFault::FileAccess,
                            QuotedPath(path) + " は既にあります。新しいデータファイルは作りません");
    }
    WriteXlsFile(NewDataWorkbook(), path);
}

} // namespace tomorine
