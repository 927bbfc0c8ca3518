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

namespace {

// What the engines show in message boxes joins the one failure line.
std::string WithShown(const std::vector<std::u16string>& shown, std::u16string_view then) {
    std::string text;
    for (const std::u16string& message : shown) {
        text += ToUtf8(message);
        if (!text.ends_with("。")) {
            text += "。";
        }
    }
    return text + ToUtf8(then);
}

} // namespace

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
    store.DataFilePath = ResolveDataFile(args);
    if (std::optional<std::u16string_view> refusal =
            SameFileRefusal(store.DataFilePath.string(), reference)) {
        return Fail(call.err, ToUtf8(*refusal));
    }
    std::vector<std::u16string> shown;
    UpgradeState state;
    UpgradeContext context{store, state, {}};
    context.ui.messageBox = [&shown](const std::u16string& text, int) {
        shown.push_back(text);
        return AnswerOk;
    };
    if (GetDataVersion(context, reference) != DataVersion0105) {
        // An unreadable reference is not of an older layout: its own reason says it all.
        return Fail(call.err, WithShown(shown, shown.empty() ? MergeMessages::OldVersion : u""));
    }
    MergeResult result;
    try {
        result = MergeReferenceData(context, reference);
    } catch (const std::exception& e) {
        return Fail(call.err, e, ToUtf8(MergeMessages::Failed));
    }
    if (!result.done) {
        return Fail(call.err, WithShown(shown, MergeMessages::Failed));
    }
    Notice(call.err, ToUtf8(MergeMessages::Done));
    call.out << result.added << '\n';
    return ExitOk;
}

} // namespace tomorine::cli
