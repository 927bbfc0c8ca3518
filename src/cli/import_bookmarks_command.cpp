#include "bookmarks/bookmarks_import.h"
#include "bookmarks/chromium_bookmarks.h"
#include "bookmarks/firefox_bookmarks.h"
#include "bookmarks/netscape_reader.h"
#include "browser/chromium_records.h"
#include "browser/firefox_records.h"
#include "cli/command_options.h"
#include "cli/command_reference.h"
#include "cli/commands.h"
#include "cli/data_file.h"
#include "cli/failure.h"
#include "cli/interrupt_flag.h"
#include "favorites/import_summary.h"
#include "store/data_connection.h"
#include "store/workbook/workbook_error.h"

#include <cstdlib>
#include <ostream>

namespace tomorine::cli {

namespace {

std::string_view Usage() {
    return UsageOf("import-bookmarks");
}

ParsedArgs ParseImportArgs(const std::vector<std::string>& args) {
    const ParsedArgs parsed =
        ParseArgs(args, CommandSyntax{.usage = Usage(),
                                      .flags = {"--firefox", "--chromium", "--json"},
                                      .operands = 1,
                                      .lastOptional = true});
    const bool firefox = parsed.flag("--firefox");
    const bool chromium = parsed.flag("--chromium");
    if ((firefox && chromium) || (!firefox && !chromium && parsed.operands.empty())) {
        throw UsageError("--firefox、--chromium、FILE.html のどれか一つを指定してください",
                         Usage());
    }
    return parsed;
}

std::filesystem::path HomeFolder() {
    const char* home = std::getenv("HOME");
    return home ? std::filesystem::path(home) : std::filesystem::path();
}

std::filesystem::path ConfigFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    return config && *config ? std::filesystem::path(config) : HomeFolder() / ".config";
}

BrowserBookmarks ReadSource(const ParsedArgs& args) {
    const bool firefox = args.flag("--firefox");
    if (!firefox && !args.flag("--chromium")) {
        return ReadNetscapeBookmarks(args.operands.front());
    }
    std::filesystem::path profile = args.operands.empty()
                                        ? std::filesystem::path()
                                        : std::filesystem::path(args.operands.front());
    if (profile.empty()) {
        const std::vector<std::filesystem::path> profiles =
            firefox ? FirefoxProfiles(HomeFolder()) : ChromiumProfiles(ConfigFolder(), "chromium");
        if (profiles.empty()) {
            throw WorkbookError(WorkbookFault::PathNotFound,
                                std::string(firefox ? "Firefox" : "Chromium") +
                                    " のプロファイルが見つかりません");
        }
        profile = profiles.front();
    }
    return firefox ? ReadFirefoxBookmarks(profile) : ReadChromiumBookmarks(profile);
}

void PrintCounts(std::ostream& out, const BookmarksImportCounts& counts, bool json) {
    if (json) {
        out << "{\"found\":" << counts.found << ",\"registered\":" << counts.registered
            << ",\"existing\":" << counts.existing << ",\"skipped\":" << counts.skipped
            << ",\"cut\":" << counts.cut << ",\"unreadable\":" << counts.unreadable
            << ",\"replaced\":" << counts.replaced << "}\n";
        return;
    }
    out << "検出数：" << CountCaption(counts.found) << '\n'
        << "登録数：" << CountCaption(counts.registered) << '\n'
        << "既存数：" << CountCaption(counts.existing) << '\n'
        << "対象外：" << CountCaption(counts.skipped) << '\n';
    for (const auto& [caption, count] : {std::pair{"長すぎて一部を切り詰めたもの：", counts.cut},
                                         {"読めずに飛ばしたもの：", counts.unreadable},
                                         {"読めない文字を置き換えたもの：", counts.replaced}}) {
        if (count > 0) {
            out << caption << CountCaption(count) << '\n';
        }
    }
}

} // namespace

// Reads the whole source first, so that a broken source leaves the data file
// as it was; then imports as the Favorites import does.
int ImportBookmarksCommand(const Invocation& call) {
    const ParsedArgs args = ParseImportArgs(call.args);
    StoreState store;
    store.dataFilePath = ExistingDataFile(args);
    BrowserBookmarks bookmarks = ReadSource(args);
    bool stop = false;
    BookmarksImportOutcome outcome;
    {
        InterruptFlag interrupt;
        BookmarksImportUi ui;
        ui.processEvents = [&] { stop = interrupt.raised(); };
        outcome = RunBookmarksImport(store, std::move(bookmarks), ui, stop);
    }
    if (!outcome.failure || outcome.counts.registered > 0) {
        PrintCounts(call.out, outcome.counts, args.flag("--json"));
    }
    if (outcome.failure) {
        return Fail(call.err, outcome.failure->what());
    }
    if (outcome.stopped) {
        return Fail(call.err, "中止");
    }
    return ExitOk;
}

} // namespace tomorine::cli
