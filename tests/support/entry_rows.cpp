#include "support/entry_rows.h"

#include "store/data_connection.h"
#include "store/data_workbook.h"
#include "store/entry_layout.h"
#include "store/xls/xls_file.h"

namespace tomorine::test {

Sheet::Row EntryRow(std::int32_t serial, const Texts& texts, int deleted) {
    Sheet::Row row{Cell::number(serial)};
    const std::vector<std::u16string>& names = EntryColumnNames();
    for (size_t c = 1; c + 1 < names.size(); ++c) {
        auto found = texts.find(names[c]);
        row.push_back(found == texts.end() ? Cell() : Cell::text(found->second));
    }
    row.push_back(Cell::number(deleted));
    return row;
}

Workbook DataBook(const std::vector<Sheet::Row>& rows) {
    Workbook book = NewDataWorkbook();
    for (const Sheet::Row& row : rows) {
        book.sheet(1).appendRow(row);
    }
    return book;
}

void WriteDataBook(const std::filesystem::path& file, const std::vector<Sheet::Row>& rows) {
    WriteXlsFile(DataBook(rows), file);
}

Workbook EntriesBook(const std::vector<Entry>& entries, const std::vector<int>& deleted) {
    Connection connection("", NewDataWorkbook());
    for (const Entry& entry : entries) {
        InsertEntry(connection, entry.serial, ChunkValues(entry));
    }
    for (int serial : deleted) {
        connection.update(EntrySheetName, RowsOfSerial(connection.rows(EntrySheetName), serial),
                          {std::u16string(DeletedColumn)}, {u"1"});
    }
    return connection.workbook();
}

void WriteEntries(const std::filesystem::path& path, const std::vector<Entry>& entries,
                  const std::vector<int>& deleted) {
    WriteXlsFile(EntriesBook(entries, deleted), path);
}

} // namespace tomorine::test
