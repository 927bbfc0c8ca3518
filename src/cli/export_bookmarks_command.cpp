#include "bookmarks/netscape_writer.h"
#include "cli/command_options.h"
#include "cli/command_reference.h"
#include "cli/commands.h"
#include "cli/data_file.h"
#include "cli/entry_options.h"
#include "cli/failure.h"
#include "store/messages.h"
#include "store/settings/path_routines.h"

#include <ostream>

namespace tomorine::cli {

// The entries the search of the given fields finds, as a bookmark file that
// browsers import.
int ExportBookmarksCommand(const Invocation& call) {
    const CommandSyntax syntax{
        .usage = UsageOf("export-bookmarks"), .valueOptions = FieldOptions(), .operands = 1};
    const ParsedArgs args = ParseArgs(call.args, syntax);
    if (args.operands.front().empty()) {
        throw UsageError("ファイルパスを指定してください", syntax.usage);
    }
    const std::filesystem::path dataFile = ExistingDataFile(args);
    const SearchTexts texts = SearchTextsOf(args);
    const std::vector<Entry> entries = SearchedEntries(dataFile, texts.url, texts);
    if (entries.empty()) {
        Notice(call.err, Messages::NoData);
        return ExitOk;
    }
    WriteNetscapeBookmarks(entries, GetAbsolutePath(args.operands.front()));
    call.out << entries.size() << "件 出力しました\n";
    return ExitOk;
}

} // namespace tomorine::cli
