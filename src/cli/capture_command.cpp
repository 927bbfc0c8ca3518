#include "browser/capture.h"
#include "cli/command_options.h"
#include "cli/command_reference.h"
#include "cli/commands.h"
#include "cli/failure.h"
#include "cli/json_writer.h"
#include "store/workbook/utf.h"

#include <optional>
#include <ostream>

namespace tomorine::cli {

namespace {

std::string_view Usage() {
    return UsageOf("capture");
}

struct CaptureArgs {
    std::optional<std::string> url;
    bool json = false;
};

CaptureArgs ParseCaptureArgs(const std::vector<std::string>& args) {
    CaptureArgs parsed;
    for (const std::string& arg : args) {
        if (arg == "--json") {
            parsed.json = true;
        } else if (arg.starts_with("--")) {
            throw UsageError("不明なオプションです: " + arg, Usage());
        } else if (parsed.url) {
            throw UsageError("URL は一つだけ指定してください", Usage());
        } else if (WebUrlOf(arg) != arg) {
            throw UsageError("http または https の URL を指定してください: " + arg, Usage());
        } else {
            parsed.url = arg;
        }
    }
    return parsed;
}

void WriteJson(std::ostream& out, const CapturedPage& page) {
    out << "{\"url\": ";
    WriteJsonString(out, FromUtf8(page.url));
    out << ", \"title\": ";
    WriteJsonString(out, FromUtf8(page.title));
    out << ", \"keywords\": ";
    WriteJsonString(out, FromUtf8(page.keywords));
    out << "}\n";
}

} // namespace

// What IE取得 fills in: for a URL its page's title and keywords; without one
// the most recently visited page of the browsers' records.
int CaptureCommand(const Invocation& call) {
    const CaptureArgs args = ParseCaptureArgs(call.args);
    const CaptureEnvironment environment = DefaultCaptureEnvironment();
    const CapturedPage page = args.url ? CapturePage(*args.url, "", environment.fetch)
                                       : CaptureFromBrowser(ForeignWindow{}, environment);
    if (page.url.empty()) {
        return Fail(call.err, "ブラウザのページが見つかりません");
    }
    if (!page.fetchError.empty()) {
        Notice(call.err, "ページを読めません: " + page.fetchError);
    }
    if (args.json) {
        WriteJson(call.out, page);
    } else {
        call.out << "URL: " << page.url << "\nタイトル: " << page.title
                 << "\nキーワード: " << page.keywords << '\n';
    }
    return ExitOk;
}

} // namespace tomorine::cli
