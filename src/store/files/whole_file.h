#pragma once

#include <filesystem>
#include <string>

namespace tomorine {

enum class ReadStatus { Read, Missing, Failed };

// Missing when there is no such file (or no such folder); Failed when it is
// there but cannot be read, so that a caller never mistakes an unreadable
// file for an empty one and writes over it.
ReadStatus ReadWholeFile(const std::filesystem::path& path, std::string& bytes);

// A directory look-up that finds a regular file (not a folder) at `path`.
bool IsRegularFile(const std::filesystem::path& path);

} // namespace tomorine
