#pragma once

#include "cli/command_options.h"

#include <filesystem>
#include <string>

namespace tomorine::cli {

// "データファイルがありません: 「FILE」" and the command that makes one,
// "tomorine-cli create FILE", so that a first start finds its way on.
std::string MissingDataFileMessage(const std::filesystem::path& dataFile);

// Before a command adds to `dataFile`: the program folder's default data
// file is created when it does not exist yet, as the main window creates it
// on its first start. A missing file that --data or the DATAFILE setting
// names is not created (a mistyped name would start a new, empty file);
// that throws MissingDataFileMessage.
void ProvideDataFileToAdd(const ParsedArgs& args, const std::filesystem::path& dataFile);

} // namespace tomorine::cli
