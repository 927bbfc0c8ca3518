#pragma once

#include "upgrade/upgrade_context.h"

#include <filesystem>

namespace tomorine {

// Beside the data file: its base name + "バックアップ_____VER0104.xls". Also
// for a file in the root folder, and a name without a dot keeps its whole
// name as base, so two data files never share one backup.
std::filesystem::path BackupFilePath(const std::filesystem::path& dataFile);

// What CheckBackupAndRecover found and did.
namespace BackupCode {
inline constexpr int Converted = 0;     // data 0105, backup present (or recovered)
inline constexpr int OldWithBackup = 1; // data 0104, backup present
inline constexpr int Current = 2;       // data 0105, no backup
inline constexpr int BackedUp = 3;      // data 0104: backup made now
inline constexpr int Recovered = 4;     // data missing: a 0104 backup copied back
inline constexpr int Nothing = 5;       // neither file
inline constexpr int Failed = -1;       // version unknown, recovery declined, failure
} // namespace BackupCode

int CheckBackupAndRecover(UpgradeContext& context);

// Before a conversion over a backup from an earlier attempt: makes the backup
// an exact copy of the data file again when the two differ (the data file was
// changed by another program since), so that a failed conversion puts back
// what the data file holds now. False after a reported failure; then nothing
// was written.
bool RefreshDataBackup(UpgradeContext& context);

// Puts the backup back after a confirmed conversion failed: when the data
// file is missing, or still holds the work sheet "tmp". False only when a
// file operation failed.
bool RestoreDataBackup(UpgradeContext& context);

} // namespace tomorine
