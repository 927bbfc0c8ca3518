#include "upgrade/compact.h"

#include "store/workbook/workbook_error.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace tomorine {

namespace fs = std::filesystem;

namespace {

// A data file reached through a link: the file it names is re-saved, and the
// link stays a link.
fs::path LinkTarget(const fs::path& workbook) {
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(workbook, ec))) {
        fs::path target = fs::canonical(workbook, ec);
        if (!ec) {
            return target;
        }
    }
    return workbook;
}

// Puts the new file in place of the old one in one rename, keeping the old
// file's permissions (a private file stays private).
void ReplaceWith(const fs::path& temp, const fs::path& target) {
    std::error_code ec;
    const fs::perms mode = fs::status(target, ec).permissions();
    if (!ec) {
        fs::permissions(temp, mode, ec);
    }
    if (std::rename(temp.c_str(), target.c_str()) != 0) {
        throw FileError(errno, "保存", target);
    }
}

} // namespace

fs::path CompactTempPath(const fs::path& workbook) {
    return workbook.parent_path() / ("bk_axbyczd0_" + workbook.filename().string());
}

void CompactDataWorkbook(UpgradeContext& context, const fs::path& workbook) {
    if (!context.state.DataChanged) {
        return;
    }
    // The rename would replace a file the user made read-only; no save does that.
    if (::access(workbook.c_str(), F_OK) == 0 && ::access(workbook.c_str(), W_OK) != 0) {
        throw FileError(EACCES, "保存", workbook);
    }
    Workbook book = context.io.open(workbook);
    const fs::path target = LinkTarget(workbook);
    const fs::path temp = CompactTempPath(target);
    try {
        context.io.save(book, temp);
        ReplaceWith(temp, target);
    } catch (...) {
        // Also a leftover of an earlier run: the name is ours.
        std::error_code ignored;
        fs::remove(temp, ignored);
        throw;
    }
}

} // namespace tomorine
