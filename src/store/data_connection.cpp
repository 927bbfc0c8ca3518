#include "store/data_connection.h"

#include "store/data_file_change.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"

#include <limits>
#include <optional>

namespace tomorine {

namespace {

// Text in code point order, as SQLite compares UTF-8 bytes: surrogates sort
// after U+E000-U+FFFF.
bool TextAfter(std::u16string_view a, std::u16string_view b) {
    const auto key = [](char16_t c) {
        return c >= 0xD800 ? static_cast<char16_t>(c >= 0xE000 ? c - 0x800 : c + 0x2000) : c;
    };
    return std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(),
                                        [&](char16_t x, char16_t y) { return key(x) < key(y); });
}

std::int32_t AfterHighest(std::int32_t highest, const std::filesystem::path& dataFile) {
    if (highest == std::numeric_limits<std::int32_t>::max()) {
        throw WorkbookError(WorkbookFault::SheetRule,
                            QuotedPath(dataFile) + " のシリアル番号はこれ以上増やせません");
    }
    return highest + 1;
}

std::vector<std::u16string> RowTexts(std::int32_t serial,
                                     const std::vector<std::u16string>& chunks) {
    std::vector<std::u16string> texts;
    texts.reserve(EntryColumnCount);
    texts.push_back(FromUtf8(std::to_string(serial)));
    texts.insert(texts.end(), chunks.begin(), chunks.end());
    texts.push_back(u"0");
    return texts;
}

} // namespace

std::int32_t QueryMaxSerial(Connection& connection) {
    const SheetRows rows = connection.rows(EntrySheetName);
    const int column = rows.column(SerialColumn);
    // A column holds numbers only or texts only, as its kind reads them.
    std::optional<Cell> highest;
    for (int r = rows.firstRow(); r <= rows.lastRow(); ++r) {
        Cell value = rows.value(r, column);
        if (!value.isEmpty() &&
            (!highest ||
             (value.kind() == CellKind::Number ? value.asNumber() > highest->asNumber()
                                               : TextAfter(value.asText(), highest->asText())))) {
            highest = std::move(value);
        }
    }
    return highest ? CellToInt32(*highest) : 0;
}

std::int32_t QueryMaxSerial(const std::filesystem::path& dataFile) {
    Connection connection(dataFile);
    std::int32_t serial = QueryMaxSerial(connection);
    connection.close();
    return serial;
}

std::int32_t NextSerial(const std::filesystem::path& dataFile) {
    return AfterHighest(QueryMaxSerial(dataFile), dataFile);
}

std::int32_t NextSerial(Connection& connection) {
    return AfterHighest(QueryMaxSerial(connection), connection.path());
}

std::vector<int> RowsOfSerial(const SheetRows& rows, std::int32_t serial) {
    const int column = rows.column(SerialColumn);
    std::vector<int> found;
    for (int r = rows.firstRow(); r <= rows.lastRow(); ++r) {
        if (rows.is(r, column, serial)) {
            found.push_back(r);
        }
    }
    return found;
}

void InsertEntry(Connection& connection, std::int32_t serial,
                 const std::vector<std::u16string>& chunks) {
    connection.insert(EntrySheetName, EntryColumnNames(), RowTexts(serial, chunks));
}

int UpdateEntry(Connection& connection, std::int32_t serial, const Entry& entry) {
    const std::vector<int> rows = RowsOfSerial(connection.rows(EntrySheetName), serial);
    connection.update(EntrySheetName, rows, EntryColumnNames(),
                      RowTexts(serial, ChunkValues(entry)));
    return static_cast<int>(rows.size());
}

int UpdateEntry(const std::filesystem::path& dataFile, std::int32_t serial, const Entry& entry) {
    int rows = 0;
    ChangeDataFileByConnection(
        dataFile, [&](Connection& connection) { rows = UpdateEntry(connection, serial, entry); });
    return rows;
}

} // namespace tomorine
