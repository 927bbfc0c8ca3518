#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tomorine {

// What to tell the user of a data file that has other hard links: a save
// writes a new file and renames it over this name only, so the other names
// keep the old content from then on. Nothing for a file with one name.
std::optional<std::string> HardLinkNotice(const std::filesystem::path& dataFile);

} // namespace tomorine
