#include "cli/entry_lookup.h"

#include "store/data_connection.h"

namespace tomorine::cli {

std::optional<Entry> FindLiveEntry(Connection& connection, std::int32_t serial) {
    const SheetRows rows = connection.rows(EntrySheetName);
    const int deleted = rows.column(DeletedColumn);
    for (int row : RowsOfSerial(rows, serial)) {
        if (rows.is(row, deleted, 0)) {
            // Read at once: no owner needs to keep the workbook.
            return ReadEntry(rows.select(nullptr, {row}));
        }
    }
    return std::nullopt;
}

} // namespace tomorine::cli
