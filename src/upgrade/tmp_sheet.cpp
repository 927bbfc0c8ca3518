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
    // A workbook without the sheet is not touched.
    return context.workbookStep([](Workbook& book) {
        const Sheet* tmp = book.findSheet(TmpSheetName);
        if (tmp != nullptr) {
            book.deleteSheet(*tmp);
        }
        return tmp != nullptr;
    });
}

} // namespace tomorine
