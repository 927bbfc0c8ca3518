#pragma once

#include "cli/command_options.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tomorine::cli {

// The command line of a command on one entry: its options, the SERIAL
// operand and the data file it works on.
struct EntryCommandLine {
    ParsedArgs args;
    std::int32_t serial = 0;
    std::filesystem::path dataFile;
};

// Throws UsageError as ParseArgs and ParseSerial do; `syntax` takes one operand.
EntryCommandLine ParseEntryCommandLine(const std::vector<std::string>& args,
                                       const CommandSyntax& syntax);

} // namespace tomorine::cli
