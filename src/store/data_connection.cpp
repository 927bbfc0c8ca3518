#include "store/data_connection.h"

#include "store/entry.h"

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

void ExecuteOnDataFile(const std::filesystem::path& dataFile, std::u16string_view statement) {
    Connection connection(Connection::ConnectionString(dataFile));
    connection.execute(statement);
    connection.close();
}

} // namespace tomorine
