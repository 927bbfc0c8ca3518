#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tomorine {

enum class ReadStatus { Read, Missing, Failed };

// Missing when there is no such file (or no such folder); Failed when it is
// there but cannot be read, so that a caller never mistakes an unreadable
// file for an empty one and writes over it.
ReadStatus ReadWholeFile(const std::filesystem::path& path, std::string& bytes);

// Writes a temporary file beside the target, flushes it to disk and renames
// it over the target, so that a crash leaves the old or the new file, never
// a half-written one. A symbolic link is followed; an existing file keeps
// its permissions. On failure the target is untouched and no temporary file
// remains.
bool ReplaceWholeFile(const std::filesystem::path& path, std::string_view bytes);

} // namespace tomorine
