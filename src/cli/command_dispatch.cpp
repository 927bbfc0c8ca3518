#include "cli/commands.h"

namespace tomorine::cli {

const std::map<std::string_view, CommandFunction>& DispatchedCommands() {
    static const std::map<std::string_view, CommandFunction> commands = {
        {"search", SearchCommand},
        {"show", ShowCommand},
        {"add", AddCommand},
        {"update", UpdateCommand},
        {"delete", DeleteCommand},
        {"check-version", CheckVersionCommand},
        {"compact", CompactCommand},
        {"dump", DumpCommand},
        {"create", CreateCommand},
        {"export-html", ExportHtmlCommand},
        {"help", HelpCommand},
        {"keywords", KeywordsCommand},
        {"import-favorites", ImportFavoritesCommand},
        {"merge", MergeCommand},
        {"check-links", CheckLinksCommand},
        {"capture", CaptureCommand},
        {"import-bookmarks", ImportBookmarksCommand},
        {"export-bookmarks", ExportBookmarksCommand},
        {"conflicts", ConflictsCommand},
    };
    return commands;
}

} // namespace tomorine::cli
