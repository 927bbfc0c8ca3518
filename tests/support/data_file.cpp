#include "support/data_file.h"

#include "store/data_workbook.h"
#include "store/entry_statements.h"
#include "store/table/connection.h"
#include "store/workbook/utf.h"
#include "store/xls/xls_file.h"

namespace tomorine::test {

void WriteEntries(const std::filesystem::path& path, const std::vector<Entry>& entries,
                  const std::vector<int>& deleted) {
    Connection connection(path, NewDataWorkbook());
    for (const Entry& entry : entries) {
        connection.execute(BuildInsertStatement(entry.serial, entry));
    }
    for (int serial : deleted) {
        connection.execute(u"UPDATE [トモリネ$] SET 削除 = 1 WHERE シリアル番号 = " +
                           FromUtf8(std::to_string(serial)));
    }
    WriteXlsFile(connection.workbook(), path); // also when there is no entry
}

} // namespace tomorine::test
