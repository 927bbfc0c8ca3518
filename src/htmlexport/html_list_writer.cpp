#include "htmlexport/html_list_writer.h"

#include "store/data_connection.h"

namespace tomorine {

HtmlListResult WriteHtmlList(StoreState& state, const HtmlListRequest& request) {
    if (request.statement.empty()) {
        return HtmlListResult{.noData = true};
    }
    if (state.ConnectionOpen) {
        CloseDataConnection(state);
    }
    state.ConnectionOpen = true;
    state.HasSearchResult = false;
    state.ModuleRecordset.reset();
    state.ModuleConnection.reset();
    state.ModuleConnection =
        std::make_unique<Connection>(state.DataFilePath);
    state.ModuleRecordset =
        std::make_unique<Recordset>(state.ModuleConnection->execute(request.statement));
    if (state.ModuleRecordset->bof()) {
        return HtmlListResult{.noData = true};
    }
    state.HasSearchResult = true;
    const int written =
        WriteHtmlPage(*state.ModuleRecordset, request.searchTexts, request.commentOutput == 1,
                      request.outputPath, request.progress);
    return HtmlListResult{.entriesWritten = written};
}

} // namespace tomorine
