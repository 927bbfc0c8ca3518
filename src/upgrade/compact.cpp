#include "upgrade/compact.h"

#include "store/workbook/workbook_error.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace tomorine {

std::filesystem::path CompactTempPath(const std::filesystem::path& workbook) {
    return workbook.parent_path() / ("bk_axbyczd0_" + workbook.filename().string());
}

void CompactDataWorkbook(UpgradeContext& context, const std::filesystem::path& workbook) {
    if (!context.state.DataChanged) {
        return;
    }
    // The rename would replace a file the user made read-only; no save does that.
    if (::access(workbook.c_str(), F_OK) == 0 && ::access(workbook.c_str(), W_OK) != 0) {
        throw FileError(EACCES, "保存", workbook);
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
