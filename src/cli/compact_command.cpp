#include "cli/command_options.h"
#include "cli/command_reference.h"
#include "cli/commands.h"
#include "cli/data_file.h"
#include "upgrade/compact.h"

namespace tomorine::cli {

// The exit re-save of the main window's OK command, asked for on purpose,
// so it runs whether or not anything was written.
int CompactCommand(const Invocation& call) {
    const CommandSyntax syntax{.usage = UsageOf("compact")};
    ParsedArgs args = ParseArgs(call.args, syntax);
    const std::filesystem::path dataFile = ResolveDataFile(args);
    StoreState store;
    store.dataFilePath = dataFile;
    UpgradeState state;
    state.dataChanged = true;
    UpgradeContext context{store, state, UpgradeUi{}};
    CompactDataWorkbook(context, dataFile);
    return ExitOk;
}

} // namespace tomorine::cli
