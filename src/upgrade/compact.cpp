#include "upgrade/compact.h"

#include "store/files/data_file_lock.h"

namespace tomorine {

namespace fs = std::filesystem;

fs::path CompactTempPath(const fs::path& workbook) {
    return workbook.parent_path() / ("bk_axbyczd0_" + workbook.filename().string());
}

void CompactDataWorkbook(UpgradeContext& context, const fs::path& workbook) {
    if (!context.state.dataChanged) {
        return;
    }
    // From the read to the rename no other writer may come between.
    DataFileLock lock(workbook);
    // The temporary file of an earlier run's re-save: the name is ours.
    std::error_code ignored;
    fs::remove(CompactTempPath(workbook), ignored);
    // The save itself writes beside the file and renames over it, keeps its
    // permissions, writes through a link and refuses a read-only file.
    Workbook book = context.io.open(workbook);
    context.io.save(book, workbook);
}

} // namespace tomorine
