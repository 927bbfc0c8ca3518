#pragma once

#include "cli/command_options.h"

#include <filesystem>

namespace tomorine::cli {

// The data file a command works on, absolute: --data FILE when given,
// otherwise the DATAFILE setting of the program folder (by default
// トモリネ.xls there), as the main window takes it at start-up. A file with
// other hard links is named in a warning on standard error: a save splits it.
std::filesystem::path ResolveDataFile(const ParsedArgs& args);
// The same for a command that only works on a data file that is there: a
// missing one throws, naming it.
std::filesystem::path ExistingDataFile(const ParsedArgs& args);

} // namespace tomorine::cli
