#include "cli/command_options.h"
#include "cli/command_reference.h"
#include "cli/commands.h"
#include "cli/data_file.h"
#include "cli/json_writer.h"
#include "keywords/keyword_list.h"
#include "search/result_lines.h"
#include "store/workbook/utf.h"

#include <ostream>
#include <sstream>

namespace tomorine::cli {

namespace {

void WriteKeywordsJson(std::ostream& out, const std::vector<KeywordLine>& keywords) {
    out << "{\"keywords\": [";
    for (size_t i = 0; i < keywords.size(); ++i) {
        out << (i == 0 ? "" : ", ");
        WriteJsonString(out, keywords[i].keyword);
    }
    out << "]}\n";
}

} // namespace

// The main window's keyword list: one keyword a line, then the count line.
int KeywordsCommand(const Invocation& call) {
    const CommandSyntax syntax{.usage = UsageOf("keywords"), .flags = {"--json"}};
    ParsedArgs args = ParseArgs(call.args, syntax);
    const std::filesystem::path dataFile = ExistingDataFile(args);
    const std::vector<KeywordLine> keywords = ListKeywords(dataFile);
    std::ostringstream text;
    if (args.flag("--json")) {
        WriteKeywordsJson(text, keywords);
    } else {
        for (const KeywordLine& line : keywords) {
            text << ToUtf8(line.keyword) << '\n';
        }
        text << ToUtf8(HitCountCaption(static_cast<int>(keywords.size()))) << '\n';
    }
    call.out << text.str();
    return ExitOk;
}

} // namespace tomorine::cli
