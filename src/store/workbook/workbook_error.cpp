#include "store/workbook/workbook_error.h"

#include <cerrno>
#include <cstring>

namespace tomorine {

WorkbookError::WorkbookError(WorkbookFault fault, const std::string& description)
    : std::runtime_error(description), fault_(fault) {}

WorkbookError AsWorkbookError(const std::exception& error) {
    if (const auto* workbookError = dynamic_cast<const WorkbookError*>(&error)) {
        return *workbookError;
    }
    return WorkbookError(WorkbookFault::FileAccess, error.what());
}

std::string QuotedPath(const std::filesystem::path& path) {
    return "「" + path.string() + "」";
}

WorkbookError FileError(int errnoValue, const std::string& action,
                        const std::filesystem::path& path) {
    WorkbookFault fault = WorkbookFault::FileAccess;
    std::string reason;
    switch (errnoValue) {
    case ENOENT:
        fault = WorkbookFault::PathNotFound;
        reason = "ファイルまたはフォルダがありません";
        break;
    case ENOTDIR:
        fault = WorkbookFault::PathNotFound;
        reason = "フォルダがありません";
        break;
    case EISDIR:
        reason = "同じ名前のフォルダがあります";
        break;
    case EACCES:
    case EPERM:
    case EROFS:
        fault = WorkbookFault::PermissionDenied;
        reason = "書き込みまたは読み込みの権限がありません";
        break;
    case ENOSPC:
    case EDQUOT:
        fault = WorkbookFault::DiskFull;
        reason = "ディスクがいっぱいです";
        break;
    default:
        reason = std::strerror(errnoValue);
        break;
    }
    return WorkbookError(fault, QuotedPath(path) + " を" + action + "できません: " + reason);
}

} // namespace tomorine
