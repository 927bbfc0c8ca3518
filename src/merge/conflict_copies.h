#pragma once

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace tomorine {

// The sync tools whose conflict copies of the data file are recognised.
enum class SyncTool { Syncthing, Nextcloud, Dropbox };

// Which tool named `candidate` as a conflict copy of the file named
// `dataFileName` (both plain file names), if any:
//   NAME.sync-conflict-20261206-134501-ABCDEF1.xls        Syncthing
//   NAME (conflicted copy 2026-12-06 134501).xls          Nextcloud, ownCloud
//   NAME (laptop's conflicted copy 2026-12-06).xls        Dropbox, also " (1)" after it
// Anything else, however alike, is not a copy.
std::optional<SyncTool> ConflictCopyKind(std::string_view dataFileName, std::string_view candidate);

// The conflict copies of `dataFile` in its folder, folders left out,
// sorted by name. A folder that cannot be read throws a WorkbookError naming it.
std::vector<std::filesystem::path> FindConflictCopies(const std::filesystem::path& dataFile);

} // namespace tomorine
