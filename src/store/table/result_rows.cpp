#include "store/table/result_rows.h"

#include "store/workbook/utf.h"

#include <string>
#include <string_view>
#include <vector>

namespace tomorine {

namespace {

Cell CellOf(sqlite3_stmt* statement, int column, std::u16string& scratch) {
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL:
        return Cell();
    case SQLITE_INTEGER:
        return Cell::number(static_cast<double>(sqlite3_column_int64(statement, column)));
    case SQLITE_FLOAT:
        return Cell::number(sqlite3_column_double(statement, column));
    default: {
        auto bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
        auto size = static_cast<size_t>(sqlite3_column_bytes(statement, column));
        return Cell::text(DecodeUtf8(std::string_view(bytes ? bytes : "", size), scratch));
    }
    }
}

std::vector<std::u16string> FieldNames(sqlite3_stmt* statement) {
    std::u16string scratch;
    std::vector<std::u16string> names;
    int count = sqlite3_column_count(statement);
    names.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const char* name = sqlite3_column_name(statement, i);
        names.push_back(DecodeUtf8(name ? name : "", scratch));
    }
    return names;
}

} // namespace

int FetchRows(sqlite3_stmt* statement, Recordset& rows) {
    int columns = sqlite3_column_count(statement);
    std::vector<Cell> values;
    std::u16string scratch;
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        for (int i = 0; i < columns; ++i) {
            values.push_back(CellOf(statement, i, scratch));
        }
    }
    if (rc != SQLITE_DONE) {
        return rc;
    }
    rows = columns > 0 ? Recordset(FieldNames(statement), std::move(values)) : Recordset();
    return rc;
}

} // namespace tomorine
