#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace tomorine {

// The whole content of a file. Throws WorkbookError: FileNotFound (53) for a
// missing file in an existing folder, else what FileError makes of errno.
std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path);

} // namespace tomorine
