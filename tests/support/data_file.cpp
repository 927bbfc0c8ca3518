#include "support/data_file.h"

#include "store/data_connection.h"
#include "store/data_workbook.h"
#include "store/xls/xls_file.h"

namespace tomorine::test {

void WriteEntries(const std::filesystem::path& path, const std::vector<Entry>& entries,
                  const std::vector<int>& deleted) {
    Connection connection(path, NewDataWorkbook());
    for (const Entry& entry : entries) {
        InsertEntry(connection, entry.serial, ChunkValues(entry));
    }
    for (int serial : deleted) {
        connection.update(EntrySheetName, RowsOfSerial(connection.rows(EntrySheetName), serial),
                          {std::u16string(DeletedColumn)}, {u"1"});
    }
    WriteXlsFile(connection.workbook(), path); // also when there is no entry
}

} // namespace tomorine::test
