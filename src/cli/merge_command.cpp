#include "cli/command_options.h"
#include "cli/command_reference.h"
#include "cli/commands.h"
#include "cli/data_file.h"
#include "cli/failure.h"
#include "merge/merge_checks.h"
#include "merge/merge_engine.h"
#include "merge/merge_messages.h"
#include "store/settings/path_routines.h"
#include "store/workbook/utf.h"
#include "upgrade/data_version.h"

#include <ostream>

namespace tomorine::cli {

int MergeCommand(const Invocation& call) {
    const CommandSyntax syntax{.usage = UsageOf("merge"), .operands = 1};
    ParsedArgs args = ParseArgs(call.args, syntax);
    if (args.operands[0].empty()) {
        return Fail(call.err, ToUtf8(MergeMessages::NoPath));
    }
    // Absolute as the data file's path is, so that "bm.xls" is seen to be
    // the data file bm.xls of the current folder.
    const std::string reference = GetAbsolutePath(args.operands[0]);
    StoreState store;
    store.dataFilePath = ResolveDataFile(args);
    if (std::optional<std::u16string_view> refusal =
            SameFileRefusal(store.dataFilePath.string(), reference)) {
        return Fail(call.err, ToUtf8(*refusal));
    }
    UpgradeState state;
    UpgradeContext context{store, state, {}};
    try {
        if (GetDataVersion(reference) != DataVersion::Current) {
            return Fail(call.err, ToUtf8(MergeMessages::OldVersion));
        }
    } catch (const std::exception& e) {
        // An unreadable reference is not of an older layout: its own reason says it all.
        return Fail(call.err, e, "");
    }
    MergeResult result;
    try {
        result = MergeReferenceData(context, reference);
    } catch (const std::exception& e) {
        return Fail(call.err, e, ToUtf8(MergeMessages::Failed));
    }
    Notice(call.err, ToUtf8(MergeMessages::Done));
    call.out << result.added << '\n';
    return ExitOk;
}

} // namespace tomorine::cli
