#pragma once

#include <filesystem>

namespace tomorine {

// Copies `source` over `target` so that `target` is, at every moment, either
// its old self (or absent) or a complete copy: the bytes go to a temporary
// file beside the target, are flushed, and the temporary file is renamed.
// Throws WorkbookError naming the file; no temporary file is left behind.
void CopyFileAtomically(const std::filesystem::path& source, const std::filesystem::path& target);

// A directory look-up that finds a regular file (not a folder) at `path`.
bool IsRegularFile(const std::filesystem::path& path);

} // namespace tomorine
