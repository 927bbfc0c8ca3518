#include "cli/command_options.h"
#include "cli/command_reference.h"
#include "cli/commands.h"
#include "cli/data_file.h"
#include "cli/failure.h"
#include "cli/terminal_upgrade_ui.h"
#include "store/workbook/utf.h"
#include "upgrade/data_version.h"

#include <ostream>

namespace tomorine::cli {

int CheckVersionCommand(const Invocation& call) {
    const CommandSyntax syntax{.usage = UsageOf("check-version"), .flags = {"--yes"}};
    ParsedArgs args = ParseArgs(call.args, syntax);
    StoreState store;
    store.dataFilePath = ResolveDataFile(args);
    UpgradeState state;
    TerminalUpgradeUi terminal(state, call.in, call.err, args.flag("--yes"));
    UpgradeContext context{store, state, terminal.callbacks()};
    try {
        if (CheckDataVersion(context) == DataFileCheck::Usable) {
            // What the file is now: converted, declined, or not there at all.
            call.out << ToUtf8(VersionText(GetDataVersion(store.dataFilePath))) << '\n';
            return ExitOk;
        }
    } catch (const std::exception& e) {
        Fail(call.err, e, "");
    }
    call.out << "-1\n"; // the version of a file that cannot be used
    return ExitFailure;
}

} // namespace tomorine::cli
