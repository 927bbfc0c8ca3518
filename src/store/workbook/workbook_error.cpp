#include "store/workbook/workbook_error.h"

#include <cerrno>
#include <cstring>

namespace tomorine {

WorkbookError::WorkbookError(int number, const std::string& description)
    : std::runtime_error(description), number_(number) {}

std::string QuotedPath(const std::filesystem::path& path) {
    return "「" + path.string() + "」";
}

WorkbookError FileError(int errnoValue, const std::string& action,
                        const std::filesystem::path& path) {
    int number = ErrorNumber::FileAccess;
    std::string reason;
    switch (errnoValue) {
    case ENOENT:
        number = ErrorNumber::PathNotFound;
        reason = "ファイルまたはフォルダがありません";
        break;
    case ENOTDIR:
        number = ErrorNumber::PathNotFound;
        reason = "フォルダがありません";
        break;
    case EISDIR:
        reason = "同じ名前のフォルダがあります";
        break;
    case EACCES:
    case EPERM:
    case EROFS:
        number = ErrorNumber::PermissionDenied;
        reason = "書き込みまたは読み込みの権限がありません";
        break;
    case ENOSPC:
    case EDQUOT:
        number = ErrorNumber::DiskFull;
        reason = "ディスクがいっぱいです";
        break;
    default:
        reason = std::strerror(errnoValue);
        break;
    }
    return WorkbookError(number, QuotedPath(path) + " を" + action + "できません: " + reason);
}

} // namespace tomorine
