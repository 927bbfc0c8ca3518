#include "upgrade/compact.h"

#include "store/workbook/workbook_error.h"

#include <cerrno>
#include <cstdio>

namespace tomorine {

std::filesystem::path CompactTempPath(const std::filesystem::path& workbook) {
    return workbook.parent_path() / ("bk_axbyczd0_" + workbook.filename().string());
}

void CompactDataWorkbook(UpgradeContext& context, const std::filesystem::path& workbook) {
    if (!context.state.DataChanged) {
        return;
    }
    Workbook book = context.io.open(workbook);
    const std::filesystem::path temp = CompactTempPath(workbook);
    context.io.save(book, temp);
    if (std::rename(temp.c_str(), workbook.c_str()) != 0) {
        int error = errno;
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        throw FileError(error, "保存", workbook);
    }
}

} // namespace tomorine
