#include "cli/command_options.h"
#include "cli/command_reference.h"
#include "cli/commands.h"
#include "cli/data_file.h"
#include "cli/failure.h"
#include "cli/interrupt_flag.h"
#include "cli/terminal_progress.h"
#include "favorites/favorites_folder.h"
#include "favorites/favorites_import.h"
#include "favorites/import_summary.h"
#include "store/data_connection.h"
#include "store/settings/app_dir.h"
#include "store/settings/settings_file.h"

#include <iostream>
#include <ostream>
#include <unistd.h>

namespace tomorine::cli {

namespace {

void PrintSummary(std::ostream& out, const ImportOutcome& outcome, const FavoritesState& favorites,
                  const ShortcutCounters& counters) {
    out << "検出数：" << CountCaption(outcome.found) << '\n'
        << "登録数：" << CountCaption(favorites.registeredCount) << '\n'
        << "既存数：" << CountCaption(favorites.existingCount) << '\n'
        << "エラー数：" << CountCaption(counters.shortcutErrorCount) << '\n';
    ImportNotices notices = NoticesFor(counters, favorites.skippedCount, outcome.unreadableFolders);
    for (const std::string& notice :
         {notices.unreadable, notices.namesTooLong, notices.noTargets, notices.skipped}) {
        if (!notice.empty()) {
            out << notice << '\n';
        }
    }
}

} // namespace

int ImportFavoritesCommand(const Invocation& call) {
    const ParsedArgs args = ParseArgs(
        call.args,
        CommandSyntax{.usage = UsageOf("import-favorites"), .operands = 1, .lastOptional = true});
    StoreState store;
    store.dataFilePath = ResolveDataFile(args);
    std::filesystem::path folder =
        args.operands.empty() ? FindFavoritesFolder(GetAppDir() + std::string(kSettingsFileName))
                              : std::filesystem::path(args.operands.front());
    if (folder.empty()) {
        return Fail(call.err, FavoritesMessages::FolderNotFound);
    }
    FavoritesState favorites;
    ShortcutCounters counters;
    ImportOutcome outcome;
    {
        // Ctrl-C asks the import to stop after the current file, so that what
        // it registered is saved and counted.
        InterruptFlag interrupt;
        TerminalProgress bar(call.err, &call.err == &std::cerr && isatty(STDERR_FILENO) == 1);
        ImportUi ui;
        ui.setProgress = [&](int percent) {
            bar.draw(ProgressBar(percent, 100, 40) + ' ' + std::to_string(percent) + " %");
        };
        ui.processEvents = [&] { favorites.importCancelRequested = interrupt.raised(); };
        ImportContext context{store, favorites, counters, std::move(ui)};
        outcome = RunFavoritesImport(context, folder);
    }
    // A failure before anything was registered left the file as it was.
    bool changed = favorites.registeredCount > 0;
    if (!outcome.failure || changed) {
        PrintSummary(call.out, outcome, favorites, counters);
    }
    if (outcome.failure) {
        return Fail(call.err, outcome.failure->what());
    }
    if (outcome.stopped) {
        return Fail(call.err, FavoritesMessages::Stopped);
    }
    Notice(call.err, FavoritesMessages::Done);
    return ExitOk;
}

} // namespace tomorine::cli
