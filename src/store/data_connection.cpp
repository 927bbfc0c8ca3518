#include "store/data_connection.h"

#include "store/entry.h"
#include "store/workbook/workbook_error.h"

#include <limits>

namespace tomorine {

void CloseDataConnection(StoreState& state) {
    if (state.ConnectionOpen) {
        if (state.ModuleRecordset) {
            state.ModuleRecordset->close();
            state.HasSearchResult = false;
        }
        if (state.ModuleConnection) {
            state.ModuleConnection->close();
        }
    }
    state.ModuleRecordset.reset();
    state.ModuleConnection.reset();
}

std::int32_t QueryMaxSerial(const std::filesystem::path& dataFile) {
    Connection connection(Connection::ConnectionString(dataFile));
    Recordset rs =
        connection.execute(u"select max(シリアル番号) as cnt from " + std::u16string(EntryTable));
    std::int32_t serial = rs.eof() ? 0 : CellToInt32(rs.field(u"cnt"));
    rs.close();
    connection.close();
    return serial;
}

std::int32_t NextSerial(const std::filesystem::path& dataFile) {
    std::int32_t highest = QueryMaxSerial(dataFile);
    if (highest == std::numeric_limits<std::int32_t>::max()) {
        throw WorkbookError(ErrorNumber::SheetRule,
                            QuotedPath(dataFile) + " のシリアル番号はこれ以上増やせません");
    }
    return highest + 1;
}

int ExecuteOnDataFile(const std::filesystem::path& dataFile, std::u16string_view statement) {
    Connection connection(Connection::ConnectionString(dataFile));
    connection.execute(statement);
    int changed = connection.rowsChanged();
    connection.close();
    return changed;
}

} // namespace tomorine
