#include "upgrade/tmp_sheet.h"

namespace tomorine {

bool HasTmpSheet(UpgradeContext& context) {
    return context.io.open(context.store.dataFilePath).findSheet(TmpSheetName) != nullptr;
}

void DeleteTmpSheet(UpgradeContext& context) {
    // A workbook without the sheet is not touched.
    context.workbookStep([](Workbook& book) {
        const Sheet* tmp = book.findSheet(TmpSheetName);
        if (tmp != nullptr) {
            book.deleteSheet(*tmp);
        }
        return tmp != nullptr;
    });
}

} // namespace tomorine
