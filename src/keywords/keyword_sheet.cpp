#include "keywords/keyword_sheet.h"

#include "store/files/data_file_lock.h"
#include "store/xls/xls_file.h"

namespace tomorine {

bool DeleteKeywordSheet(const std::filesystem::path& dataFile) noexcept {
    try {
        DataFileLock lock(dataFile);
        Workbook book = ReadXlsFile(dataFile);
        const Sheet* leftover = book.findSheet(KeywordSheetName);
        if (leftover == nullptr) {
            return false;
        }
        book.deleteSheet(*leftover);
        WriteXlsFile(book, dataFile);
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace tomorine
