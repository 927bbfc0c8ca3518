#include "store/data_connection.h"

#include "store/data_file_change.h"
#include "store/entry.h"
#include "store/workbook/workbook_error.h"

#include <limits>

namespace tomorine {

std::int32_t QueryMaxSerial(Connection& connection) {
    Recordset rs =
        connection.execute(u"select max(シリアル番号) as cnt from " + std::u16string(EntryTable));
    return rs.eof() ? 0 : CellToInt32(rs.field(u"cnt"));
}

std::int32_t QueryMaxSerial(const std::filesystem::path& dataFile) {
    Connection connection(dataFile);
    std::int32_t serial = QueryMaxSerial(connection);
    connection.close();
    return serial;
}

namespace {

std::int32_t AfterHighest(std::int32_t highest, const std::filesystem::path& dataFile) {
    if (highest == std::numeric_limits<std::int32_t>::max()) {
        throw WorkbookError(WorkbookFault::SheetRule,
                            QuotedPath(dataFile) + " のシリアル番号はこれ以上増やせません");
    }
    return highest + 1;
}

} // namespace

std::int32_t NextSerial(const std::filesystem::path& dataFile) {
    return AfterHighest(QueryMaxSerial(dataFile), dataFile);
}

std::int32_t NextSerial(Connection& connection) {
    return AfterHighest(QueryMaxSerial(connection), connection.path());
}

int ExecuteOnDataFile(const std::filesystem::path& dataFile, std::u16string_view statement) {
    int changed = 0;
    ChangeDataFileByStatements(dataFile, [&](Connection& connection) {
        connection.execute(statement);
        changed = connection.rowsChanged();
    });
    return changed;
}

} // namespace tomorine
