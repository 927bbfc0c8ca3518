#pragma once

#include "cli/command_reference.h"

#include <iosfwd>
#include <string_view>
#include <vector>

namespace tomorine::cli {

enum class Language { English, Japanese };

// A program's manual page in roff (man(7)): its own sections, and for
// tomorine-cli a COMMANDS section made from the command table.
void WriteManualPage(std::ostream& out, const ProgramReference& program,
                     const std::vector<CommandReference>& commands, Language language,
                     std::string_view version, std::string_view date);

} // namespace tomorine::cli
