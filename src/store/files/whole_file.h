#pragma once

#include "store/files/file_bytes.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace tomorine {

enum class ReadStatus { Read, Missing, Failed };

// Missing when there is no such file (or no such folder); Failed when it is
// there but cannot be read, is not a regular file or holds more than
// `maxBytes`, so that a caller never mistakes such a file for an empty one
// and writes over it. `error`, when given, gets the reason of a failure.
ReadStatus ReadWholeFile(const std::filesystem::path& path, std::string& bytes,
                         std::uint64_t maxBytes = kMaxWorkbookFileBytes,
                         std::string* error = nullptr);

// A directory look-up that finds a regular file (not a folder) at `path`.
bool IsRegularFile(const std::filesystem::path& path);

} // namespace tomorine
