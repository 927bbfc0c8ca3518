#pragma once

#include "cli/command_reference.h"

#include <iosfwd>
#include <vector>

namespace tomorine::cli {

// The bash completion of tomorine-cli: command names, each command's options,
// and files, folders or command names where its arguments take them. Plain
// bash, so it works with or without the bash-completion package's helpers.
void WriteBashCompletion(std::ostream& out, const std::vector<CommandReference>& commands);

} // namespace tomorine::cli
