#include "browser/capture.h"
#include "cli/command_options.h"
#include "cli/command_reference.h"
#include "cli/commands.h"
#include "cli/data_file.h"
#include "cli/failure.h"
#include "cli/json_writer.h"
#include "search/result_lines.h"
#include "search/search_rows.h"
#include "store/entry.h"
#include "store/files/whole_file.h"
#include "store/table/cell_value.h"
#include "store/workbook/utf.h"

#include <optional>
#include <ostream>

namespace tomorine::cli {

namespace {

std::string_view Usage() {
    return UsageOf("capture");
}

// The URL, when given, must be a web page's.
ParsedArgs ParseCaptureArgs(const std::vector<std::string>& args) {
    ParsedArgs parsed = ParseArgs(
        args,
        CommandSyntax{.usage = Usage(), .flags = {"--json"}, .operands = 1, .lastOptional = true});
    for (const std::string& url : parsed.operands) {
        if (WebUrlOf(url) != url) {
            throw UsageError("http または https の URL を指定してください: " + url, Usage());
        }
    }
    return parsed;
}

// The serials of the live entries stored under the URL, found as IE取得
// finds them: the URL alone.
std::vector<std::int32_t> StoredSerials(const std::filesystem::path& dataFile,
                                        const std::string& url) {
    std::vector<std::int32_t> serials;
    if (!IsRegularFile(dataFile)) {
        return serials;
    }
    const std::u16string url16 = FromUtf8(url);
    Recordset rows = SearchRows(dataFile, url16);
    std::vector<long> positions;
    ListMatchingRows(rows, SearchTexts{url16, {}, {}, {}, {}},
                     [&](const SearchHit& hit) { positions.push_back(hit.position); });
    for (long position : positions) {
        rows.moveFirst();
        rows.move(position);
        serials.push_back(CellToInt32(rows.field(SerialColumn)));
    }
    return serials;
}

void WriteJson(std::ostream& out, const CapturedPage& page,
               const std::vector<std::int32_t>& stored) {
    out << "{\"url\": ";
    WriteJsonString(out, FromUtf8(page.url));
    out << ", \"title\": ";
    WriteJsonString(out, FromUtf8(page.title));
    out << ", \"keywords\": ";
    WriteJsonString(out, FromUtf8(page.keywords));
    out << ", \"stored\": ";
    WriteJsonSerials(out, stored);
    out << "}\n";
}

} // namespace

// What IE取得 fills in: for a URL its page's title and keywords; without one
// the most recently visited page of the browsers' records.
int CaptureCommand(const Invocation& call) {
    const ParsedArgs args = ParseCaptureArgs(call.args);
    const CaptureEnvironment environment = DefaultCaptureEnvironment();
    const CapturedPage page = !args.operands.empty()
                                  ? CapturePage(args.operands.front(), "", environment.fetch)
                                  : CaptureFromBrowser(ForeignWindow{}, environment);
    if (page.url.empty()) {
        return Fail(call.err, "ブラウザのページが見つかりません");
    }
    if (!page.fetchError.empty()) {
        Notice(call.err, "ページを読めません: " + page.fetchError);
    }
    if (!args.flag("--json")) {
        call.out << "URL: " << page.url << "\nタイトル: " << page.title
                 << "\nキーワード: " << page.keywords << '\n';
        return ExitOk;
    }
    std::vector<std::int32_t> stored;
    try {
        stored = StoredSerials(ResolveDataFile(args), page.url);
    } catch (const std::exception& e) {
        Notice(call.err, std::string("登録済みか調べられません: ") + e.what());
    }
    WriteJson(call.out, page, stored);
    return ExitOk;
}

} // namespace tomorine::cli
