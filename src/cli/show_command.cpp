#include "cli/command_options.h"
#include "cli/command_reference.h"
#include "cli/commands.h"
#include "cli/entry_command_line.h"
#include "cli/entry_lookup.h"
#include "cli/entry_output.h"
#include "cli/failure.h"
#include "store/messages.h"

#include <ostream>
#include <sstream>

namespace tomorine::cli {

int ShowCommand(const Invocation& call) {
    const EntryCommandLine line = ParseEntryCommandLine(
        call.args, CommandSyntax{.usage = UsageOf("show"), .flags = {"--json"}, .operands = 1});
    Connection connection(line.dataFile);
    const std::optional<Entry> entry = FindLiveEntry(connection, line.serial);
    connection.close();
    if (!entry) {
        return Fail(call.err, Messages::NotFound);
    }
    std::ostringstream text;
    if (line.args.flag("--json")) {
        WriteHitsJson(text, 1, [&](std::size_t) { return *entry; });
    } else {
        WriteEntryFields(text, *entry);
    }
    call.out << text.str();
    return ExitOk;
}

} // namespace tomorine::cli
