#pragma once

#include "store/entry.h"

#include <cstdint>
#include <filesystem>

namespace tomorine {

// Registers `entry` in the data file under the next serial, taken from the
// file and used under its lock, so that two entries never share one.
// Returns the serial; throws the WorkbookError of the lock, read or save.
std::int32_t RegisterEntry(const std::filesystem::path& dataFile, const Entry& entry);

} // namespace tomorine
