#include "cli/command_options.h"
#include "cli/command_reference.h"
#include "cli/commands.h"
#include "cli/data_file.h"
#include "cli/entry_options.h"
#include "cli/failure.h"
#include "htmlexport/html_list_writer.h"
#include "store/messages.h"
#include "store/settings/path_routines.h"

#include <ostream>

namespace tomorine::cli {

// The search of the given fields, then the page of its hits, as HTML作成
// writes it after that search.
int ExportHtmlCommand(const Invocation& call) {
    const CommandSyntax syntax{.usage = UsageOf("export-html"),
                               .valueOptions = FieldOptions(),
                               .flags = {"--comments"},
                               .operands = 1};
    const ParsedArgs args = ParseArgs(call.args, syntax);
    if (args.operands.front().empty()) {
        throw UsageError("ファイルパスを指定してください", syntax.usage);
    }
    const std::filesystem::path dataFile = ExistingDataFile(args);
    HtmlListRequest request;
    request.searchTexts = SearchTextsOf(args);
    request.searchUrl = request.searchTexts.url;
    request.commentOutput = args.flag("--comments");
    request.outputPath = GetAbsolutePath(args.operands.front());
    const HtmlListResult result = WriteHtmlList(dataFile, request);
    call.out << result.entriesWritten << "件 出力しました\n";
    if (result.noData) {
        Notice(call.err, Messages::NoData);
    }
    return ExitOk;
}

} // namespace tomorine::cli
