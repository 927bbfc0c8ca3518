#include "upgrade/backup.h"

#include "store/files/atomic_file.h"
#include "store/files/data_file_lock.h"
#include "store/files/whole_file.h"
#include "store/workbook/workbook_error.h"
#include "upgrade/data_version.h"
#include "upgrade/tmp_sheet.h"

#include <cerrno>
#include <string>

namespace tomorine {

std::filesystem::path BackupFilePath(const std::filesystem::path& dataFile) {
    std::string name = dataFile.filename().string();
    size_t dot = name.rfind('.');
    std::string base = dot == std::string::npos ? name : name.substr(0, dot);
    return dataFile.parent_path() / (base + "バックアップ_____VER0104.xls");
}

namespace {

int VersionCode(const std::u16string& version, int current, int old) {
    if (version == DataVersion0105) {
        return current;
    }
    return version == DataVersion0104 ? old : BackupCode::Failed;
}

} // namespace

int CheckBackupAndRecover(UpgradeContext& context) {
    const std::filesystem::path& data = context.store.DataFilePath;
    const std::filesystem::path backup = BackupFilePath(data);
    try {
        bool haveData = IsRegularFile(data);
        bool haveBackup = IsRegularFile(backup);
        if (haveData && haveBackup) {
            return VersionCode(GetDataVersion(context, data), BackupCode::Converted,
                               BackupCode::OldWithBackup);
        }
        if (haveData) {
            int code = VersionCode(GetDataVersion(context, data), BackupCode::Current,
                                   BackupCode::BackedUp);
            if (code == BackupCode::BackedUp) {
                CopyFileAtomically(data, backup);
            }
            return code;
        }
        if (haveBackup) {
            if (context.message(u"リカバリ処理をします\r\n\r\nよろしいですか？",
                                MessageStyle::OkCancelExclamation) != AnswerOk) {
                return BackupCode::Failed;
            }
            DataFileLock lock(data);
            CopyFileAtomically(backup, data);
            // A backup kept after a conversion is of the current layout already.
            return VersionCode(GetDataVersion(context, data), BackupCode::Converted,
                               BackupCode::Recovered);
        }
        return BackupCode::Nothing;
    } catch (const std::exception& e) {
        context.reportError(e);
        return BackupCode::Failed;
    }
}

bool RefreshDataBackup(UpgradeContext& context) {
    const std::filesystem::path& data = context.store.DataFilePath;
    const std::filesystem::path backup = BackupFilePath(data);
    try {
        std::string dataBytes;
        if (ReadWholeFile(data, dataBytes) != ReadStatus::Read) {
            throw FileError(EIO, "読み込み", data);
        }
        std::string backupBytes;
        if (ReadWholeFile(backup, backupBytes) == ReadStatus::Read && backupBytes == dataBytes) {
            return true;
        }
        CopyFileAtomically(data, backup);
        return true;
    } catch (const std::exception& e) {
        context.reportError(e);
        return false;
    }
}

bool RestoreDataBackup(UpgradeContext& context) {
    if (!context.state.ConversionConfirmed) {
        return true;
    }
    const std::filesystem::path& data = context.store.DataFilePath;
    const std::filesystem::path backup = BackupFilePath(data);
    try {
        if (!IsRegularFile(backup)) {
            return true;
        }
        // The copy replaces the data file in one rename: it is never missing.
        DataFileLock lock(data);
        if (!IsRegularFile(data) || ProbeTmpSheet(context) == 1) {
            CopyFileAtomically(backup, data);
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace tomorine
