#include "cli/command_options.h"
#include "cli/command_reference.h"
#include "cli/commands.h"
#include "cli/data_file.h"
#include "cli/terminal_upgrade_ui.h"
#include "store/workbook/utf.h"
#include "upgrade/data_version.h"

#include <ostream>

namespace tomorine::cli {

int CheckVersionCommand(const Invocation& call) {
    const CommandSyntax syntax{.usage = UsageOf("check-version"), .flags = {"--yes"}};
    ParsedArgs args = ParseArgs(call.args, syntax);
    StoreState store;
    store.DataFilePath = ResolveDataFile(args);
    UpgradeState state;
    TerminalUpgradeUi terminal(state, call.in, call.err, args.flag("--yes"));
    UpgradeContext context{store, state, terminal.callbacks()};
    std::u16string version(DataVersionUnknown);
    if (CheckDataVersion(context) != -1) {
        // What the file is now: converted, declined, or not there at all.
        version = GetDataVersion(context, store.DataFilePath);
    }
    call.out << ToUtf8(version) << '\n';
    return version == DataVersionUnknown ? ExitFailure : ExitOk;
}

} // namespace tomorine::cli
