#include "upgrade/tmp_sheet.h"

namespace tomorine {

int ProbeTmpSheet(UpgradeContext& context) {
    try {
        Workbook book = context.io.open(context.store.DataFilePath);
        return book.findSheet(TmpSheetName) != nullptr ? 1 : 0;
    } catch (const std::exception&) {
        return -1;
    }
}

bool DeleteTmpSheet(UpgradeContext& context) {
    try {
        Workbook book = context.io.open(context.store.DataFilePath);
        const Sheet* tmp = book.findSheet(TmpSheetName);
        if (tmp == nullptr) {
            return true;
        }
        book.deleteSheet(*tmp);
        context.io.save(book, context.store.DataFilePath);
        return true;
    } catch (const std::exception& e) {
        context.reportError(e);
        return false;
    }
}

} // namespace tomorine
