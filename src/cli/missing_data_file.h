#pragma once

#include "cli/command_options.h"

#include <filesystem>
#include <string>

namespace tomorine::cli {

// Before a command adds to `dataFile`: the program folder's default data
// file is created when it does not exist yet, as the main window creates it
// on its first start. A missing file that --data or the DATAFILE setting
// names is not created (a mistyped name would start a new, empty file);
// that throws "データファイルがありません: 「FILE」" with the command that
// makes one, "tomorine-cli create FILE".
void ProvideDataFileToAdd(const ParsedArgs& args, const std::filesystem::path& dataFile);

} // namespace tomorine::cli
