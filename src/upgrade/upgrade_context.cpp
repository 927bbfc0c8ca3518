#include "upgrade/upgrade_context.h"

#include "store/files/data_file_lock.h"
#include "store/xls/xls_file.h"

namespace tomorine {

WorkbookIo WorkbookIo::Files() {
    return {[](const std::filesystem::path& path) { return ReadXlsFile(path); },
            [](const Workbook& book, const std::filesystem::path& path) {
                WriteXlsFile(book, path, SaveMethod::Whole);
            }};
}

int UpgradeContext::message(const std::u16string& text, int style) const {
    return ui.messageBox ? ui.messageBox(text, style) : AnswerOk;
}

void UpgradeContext::workbookStep(const std::function<bool(Workbook&)>& job) const {
    DataFileLock lock(store.dataFilePath);
    Workbook book = io.open(store.dataFilePath);
    if (job(book)) {
        io.save(book, store.dataFilePath);
    }
}

} // namespace tomorine
