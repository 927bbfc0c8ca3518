#include "cli/command_options.h"
#include "cli/command_reference.h"
#include "cli/commands.h"
#include "cli/data_file.h"
#include "cli/failure.h"
#include "favorites/favorites_folder.h"
#include "favorites/favorites_import.h"
#include "favorites/import_summary.h"
#include "store/data_connection.h"
#include "store/settings/app_dir.h"
#include "store/settings/settings_file.h"

#include <csignal>
#include <iostream>
#include <ostream>
#include <unistd.h>

namespace tomorine::cli {

namespace {

std::string_view Usage() {
    return UsageOf("import-favorites");
}
constexpr int kBarWidth = 40;

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) {
    interrupted = 1;
}

// While the import runs, Ctrl-C asks it to stop after the current file, so
// that what it registered is saved and counted.
class InterruptAsStop {
public:
    InterruptAsStop() {
        interrupted = 0;
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        installed_ = sigaction(SIGINT, &action, &previous_) == 0;
    }
    ~InterruptAsStop() {
        if (installed_) {
            sigaction(SIGINT, &previous_, nullptr);
        }
    }
    InterruptAsStop(const InterruptAsStop&) = delete;
    InterruptAsStop& operator=(const InterruptAsStop&) = delete;

private:
    bool installed_ = false;
    struct sigaction previous_ {};
};

// FOLDER is optional: the command line is read without it, then with it.
ParsedArgs ParseImportArgs(const std::vector<std::string>& args) {
    try {
        return ParseArgs(args, CommandSyntax{.usage = Usage()});
    } catch (const UsageError&) {
        return ParseArgs(args, CommandSyntax{.usage = Usage(), .operands = 1});
    }
}

void DrawBar(std::ostream& err, int percent) {
    int filled = percent * kBarWidth / 100;
    err << "\r[" << std::string(static_cast<size_t>(filled), '#')
        << std::string(static_cast<size_t>(kBarWidth - filled), '.') << "] " << percent << " %"
        << std::flush;
}

void PrintSummary(std::ostream& out, const ImportOutcome& outcome, const FavoritesState& favorites,
                  const ShortcutCounters& counters) {
    out << "検出数：" << CountCaption(outcome.found) << '\n'
        << "登録数：" << CountCaption(favorites.RegisteredCount) << '\n'
        << "既存数：" << CountCaption(favorites.ExistingCount) << '\n'
        << "エラー数：" << CountCaption(counters.ShortcutErrorCount) << '\n';
    ImportNotices notices = NoticesFor(counters);
    for (const std::string& notice :
         {notices.unreadable, notices.namesTooLong, notices.noTargets}) {
        if (!notice.empty()) {
            out << notice << '\n';
        }
    }
}

} // namespace

int ImportFavoritesCommand(const Invocation& call) {
    ParsedArgs args = ParseImportArgs(call.args);
    StoreState store;
    store.DataFilePath = ResolveDataFile(args);
    std::filesystem::path folder =
        args.operands.empty() ? FindFavoritesFolder(GetAppDir() + std::string(kSettingsFileName))
                              : std::filesystem::path(args.operands.front());
    if (folder.empty()) {
        return Fail(call.err, FavoritesMessages::FolderNotFound);
    }
    FavoritesState favorites;
    ShortcutCounters counters;
    const bool terminal = &call.err == &std::cerr && isatty(STDERR_FILENO) == 1;
    ImportUi ui;
    bool barShown = false;
    if (terminal) {
        ui.setProgress = [&](int percent) {
            DrawBar(call.err, percent);
            barShown = true;
        };
    }
    ui.processEvents = [&] { favorites.ImportCancelRequested = interrupted != 0; };
    ImportOutcome outcome;
    {
        InterruptAsStop stop;
        ImportContext context{store, favorites, counters, std::move(ui)};
        outcome = RunFavoritesImport(context, folder);
    }
    if (barShown) {
        call.err << '\n';
    }
    // A failure before anything was registered left the file as it was.
    bool changed = favorites.RegisteredCount > 0;
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
