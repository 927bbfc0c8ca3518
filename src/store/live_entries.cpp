#include "store/live_entries.h"

#include "store/cache/workbook_cache.h"
#include "store/entry.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"

namespace tomorine {

const Sheet& EntrySheet(const Workbook& book, const std::filesystem::path& file) {
    const Sheet* sheet = book.findSheet(EntrySheetName);
    if (sheet == nullptr) {
        throw WorkbookError(WorkbookFault::SheetNotFound, QuotedPath(file) + " にシート「" +
                                                              ToUtf8(EntrySheetName) +
                                                              "」がありません");
    }
    return *sheet;
}

Recordset LiveEntries(std::shared_ptr<const Workbook> book, const std::filesystem::path& file,
                      const std::function<bool(const SheetRows&, int row)>& keep) {
    const SheetRows rows(EntrySheet(*book, file), file);
    const int deleted = rows.column(DeletedColumn);
    std::vector<int> live;
    for (int r = rows.firstRow(); r <= rows.lastRow(); ++r) {
        // The caller's test first: it usually fails, and the deleted mark
        // lies at the far end of the row, in memory another fetch away.
        if ((!keep || keep(rows, r)) && rows.is(r, deleted, 0)) {
            live.push_back(r);
        }
    }
    return rows.select(std::move(book), live);
}

Recordset LiveEntries(const std::filesystem::path& dataFile) {
    return LiveEntries(DataWorkbookCache().load(dataFile), dataFile);
}

} // namespace tomorine
