#include "store/xls/xls_fault.h"

#include <cstdio>

namespace tomorine::xls {

void Fail(FaultKind kind, const std::string& detail) {
    throw XlsFault(kind, detail);
}

std::string Hex16(unsigned value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%04X", value & 0xFFFFu);
    return buf;
}

WorkbookError ToWorkbookError(const XlsFault& fault, const std::filesystem::path& name) {
    const std::string file = QuotedPath(name);
    const std::string detail = fault.what();
    switch (fault.kind()) {
    case FaultKind::NotWorkbook:
        return WorkbookError(WorkbookFault::NotAWorkbook,
                             file + "は Excel 97-2003 ブックではありません（" + detail + "）");
    case FaultKind::TooOld:
        return WorkbookError(WorkbookFault::NotAWorkbook,
                             file + "は Excel 97 より前の形式（" + detail +
                                 "）のブックなので読み込めません。Excel 97-2003 "
                                 "形式で保存し直してください");
    case FaultKind::Encrypted:
        return WorkbookError(WorkbookFault::Encrypted,
                             file + "は暗号化されています。パスワードを解除して保存し直して"
                                    "から開いてください");
    case FaultKind::Truncated:
        return WorkbookError(WorkbookFault::NotAWorkbook,
                             file + "は途中で切れています（" + detail + "）");
    case FaultKind::Corrupt:
        break;
    }
    return WorkbookError(WorkbookFault::NotAWorkbook, file + "は壊れています（" + detail + "）");
}

} // namespace tomorine::xls
