#include "cli/entry_command_line.h"

#include "cli/data_file.h"

namespace tomorine::cli {

EntryCommandLine ParseEntryCommandLine(const std::vector<std::string>& args,
                                       const CommandSyntax& syntax) {
    EntryCommandLine line;
    line.args = ParseArgs(args, syntax);
    line.serial = ParseSerial(line.args.operands[0], syntax);
    line.dataFile = ResolveDataFile(line.args);
    return line;
}

} // namespace tomorine::cli
