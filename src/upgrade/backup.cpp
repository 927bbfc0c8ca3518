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

BackupState StateOf(DataVersion version, BackupState current, BackupState old) {
    return version == DataVersion::Current ? current : old;
}

} // namespace

BackupState CheckBackupAndRecover(UpgradeContext& context) {
    const std::filesystem::path& data = context.store.dataFilePath;
    const std::filesystem::path backup = BackupFilePath(data);
    const bool haveData = IsRegularFile(data);
    const bool haveBackup = IsRegularFile(backup);
    if (haveData && haveBackup) {
        return StateOf(GetDataVersion(data), BackupState::Converted, BackupState::OldWithBackup);
    }
    if (haveData) {
        const BackupState state =
            StateOf(GetDataVersion(data), BackupState::Current, BackupState::BackedUp);
        if (state == BackupState::BackedUp) {
            CopyFileAtomically(data, backup);
        }
        return state;
    }
    if (haveBackup) {
        if (context.message(u"リカバリ処理をします\r\n\r\nよろしいですか？",
                            MessageStyle::OkCancelExclamation) != AnswerOk) {
            return BackupState::Declined;
        }
        DataFileLock lock(data);
        CopyFileAtomically(backup, data);
        // A backup kept after a conversion is of the current layout already.
        return StateOf(GetDataVersion(data), BackupState::Converted, BackupState::Recovered);
    }
    return BackupState::Nothing;
}

void RefreshDataBackup(UpgradeContext& context) {
    const std::filesystem::path& data = context.store.dataFilePath;
    const std::filesystem::path backup = BackupFilePath(data);
    std::string dataBytes;
    if (ReadWholeFile(data, dataBytes) != ReadStatus::Read) {
        throw FileError(EIO, "読み込み", data);
    }
    std::string backupBytes;
    if (ReadWholeFile(backup, backupBytes) == ReadStatus::Read && backupBytes == dataBytes) {
        return;
    }
    CopyFileAtomically(data, backup);
}

void RestoreDataBackup(UpgradeContext& context) {
    const std::filesystem::path& data = context.store.dataFilePath;
    const std::filesystem::path backup = BackupFilePath(data);
    if (!context.state.conversionConfirmed || !IsRegularFile(backup)) {
        return;
    }
    // The copy replaces the data file in one rename: it is never missing.
    DataFileLock lock(data);
    if (!IsRegularFile(data) || HasTmpSheet(context)) {
        CopyFileAtomically(backup, data);
    }
}

} // namespace tomorine
