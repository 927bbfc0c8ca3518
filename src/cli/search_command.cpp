#include "cli/command_options.h"
#include "cli/command_reference.h"
#include "cli/commands.h"
#include "cli/data_file.h"
#include "cli/entry_options.h"
#include "cli/entry_output.h"
#include "cli/failure.h"
#include "search/result_lines.h"
#include "search/search_rows.h"
#include "store/messages.h"
#include "store/workbook/utf.h"

#include <ostream>
#include <sstream>

namespace tomorine::cli {

namespace {

struct SearchResult {
    std::vector<std::u16string> lines;
    std::vector<long> positions; // of the hits in `rows`
    Recordset rows;
};

// The main window's search: the URL matched chunk by chunk by the statement,
// then the words of all five texts row by row. For --json every column an
// entry is read from is checked here, so that writing cannot fail half-way.
SearchResult RunSearch(const std::filesystem::path& dataFile, const SearchTexts& texts,
                       bool readEntries) {
    SearchResult result;
    result.rows = SearchRows(dataFile, texts.url);
    ListMatchingRows(result.rows, texts, [&](const SearchHit& hit) {
        result.lines.push_back(hit.line);
        result.positions.push_back(hit.position);
    });
    if (readEntries && !result.positions.empty()) {
        for (const std::u16string& name : EntryColumnNames()) {
            result.rows.fieldIndex(name);
        }
    }
    return result;
}

} // namespace

int SearchCommand(const Invocation& call) {
    const ParsedArgs args = ParseArgs(call.args, CommandSyntax{.usage = UsageOf("search"),
                                                               .valueOptions = FieldOptions(),
                                                               .flags = {"--json"}});
    const std::filesystem::path dataFile = ExistingDataFile(args);
    const bool json = args.flag("--json");
    SearchResult result;
    try {
        result = RunSearch(dataFile, SearchTextsOf(args), json);
    } catch (const std::exception& e) {
        return Fail(call.err, e, Messages::KeyError);
    }
    if (json) {
        WriteHitsJson(call.out, result.positions.size(), [&](std::size_t i) {
            result.rows.moveFirst();
            result.rows.move(result.positions[i]);
            return ReadEntry(result.rows);
        });
    } else {
        std::ostringstream text;
        for (const std::u16string& line : result.lines) {
            text << ToUtf8(line) << '\n';
        }
        text << ToUtf8(HitCountCaption(static_cast<int>(result.lines.size()))) << '\n';
        call.out << text.str();
    }
    if (result.lines.empty()) {
        Notice(call.err, Messages::NotFound);
    }
    return ExitOk;
}

} // namespace tomorine::cli
