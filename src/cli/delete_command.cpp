#include "cli/command_options.h"
#include "cli/command_reference.h"
#include "cli/commands.h"
#include "cli/data_file.h"
#include "cli/failure.h"
#include "store/entry_deletion.h"
#include "store/messages.h"

namespace tomorine::cli {

int DeleteCommand(const Invocation& call) {
    const CommandSyntax syntax{.usage = UsageOf("delete"), .operands = 1};
    ParsedArgs args = ParseArgs(call.args, syntax);
    const std::int32_t serial = ParseSerial(args.operands[0], syntax);
    const std::filesystem::path dataFile = ResolveDataFile(args);
    if (!DeleteEntryBySerial(dataFile, serial)) {
        return Fail(call.err, Messages::NothingToDelete);
    }
    Notice(call.err, Messages::Deleted);
    return ExitOk;
}

} // namespace tomorine::cli
