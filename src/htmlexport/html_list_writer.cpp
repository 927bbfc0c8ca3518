#include "htmlexport/html_list_writer.h"

#include "search/search_rows.h"

namespace tomorine {

HtmlListResult WriteHtmlList(const std::filesystem::path& dataFile,
                             const HtmlListRequest& request) {
    if (!request.searchUrl) {
        return HtmlListResult{.noData = true};
    }
    Recordset rows = SearchRows(dataFile, *request.searchUrl);
    if (rows.bof()) {
        return HtmlListResult{.noData = true};
    }
    return HtmlListResult{.entriesWritten =
                              WriteHtmlPage(rows, request.searchTexts, request.commentOutput,
                                            request.outputPath, request.progress)};
}

} // namespace tomorine
