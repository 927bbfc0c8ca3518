#pragma once

#include "upgrade/upgrade_context.h"

#include <filesystem>

namespace tomorine {

// Beside the data file: its base name + "バックアップ_____VER0104.xls". Also
// for a file in the root folder, and a name without a dot keeps its whole
// name as base, so two data files never share one backup.
std::filesystem::path BackupFilePath(const std::filesystem::path& dataFile);

// What CheckBackupAndRecover found and did.
enum class BackupState {
    Converted,     // data 0105, backup present (or recovered)
    OldWithBackup, // data 0104, backup present
    Current,       // data 0105, no backup
    BackedUp,      // data 0104: backup made now
    Recovered,     // data missing: a 0104 backup copied back
    Nothing,       // neither file
    Declined,      // data missing, and the user declined the recovery
};

// Throws the WorkbookError of a file that cannot be read or copied.
BackupState CheckBackupAndRecover(UpgradeContext& context);

// Before a conversion over a backup from an earlier attempt: makes the backup
// an exact copy of the data file again when the two differ (the data file was
// changed by another program since), so that a failed conversion puts back
// what the data file holds now. A failure throws; then nothing was written.
void RefreshDataBackup(UpgradeContext& context);

// Puts the backup back after a confirmed conversion failed: when the data
// file is missing, or still holds the work sheet "tmp". A failure to read or
// copy throws.
void RestoreDataBackup(UpgradeContext& context);

} // namespace tomorine
