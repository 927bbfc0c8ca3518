#include "store/table/sheet_module.h"

#include "store/table/cell_value.h"
#include "store/table/row_undo_log.h"
#include "store/table/table_columns.h"
#include "store/workbook/utf.h"

#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace tomorine {

namespace {

struct SheetTable : sqlite3_vtab {
    SheetTable(TableSession& s, Sheet& sh, std::vector<ColumnKind> k)
        : sqlite3_vtab{}, session(s), sheet(sh), kinds(std::move(k)), undo(sh) {}

    TableSession& session;
    Sheet& sheet;
    std::vector<ColumnKind> kinds;
    RowUndoLog undo;
    bool pendingChange = false;
};

struct SheetCursor : sqlite3_vtab_cursor {
    SheetCursor() : sqlite3_vtab_cursor{} {}

    int row = 0;
    int end = 0;
    std::string buffer; // the text handed to SQLite last
};

SheetTable& TableOf(sqlite3_vtab* vtab) {
    return *static_cast<SheetTable*>(vtab);
}

SheetCursor& CursorOf(sqlite3_vtab_cursor* cursor) {
    return *static_cast<SheetCursor*>(cursor);
}

void SetMessage(char*& slot, const char* text) {
    sqlite3_free(slot);
    slot = sqlite3_mprintf("%s", text);
}

// Runs a callback body; a C++ exception never crosses SQLite's C frames. The
// first one is kept for the connection, which rethrows it unchanged.
template <class Body>
int Guard(TableSession& session, char*& message, Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return SQLITE_NOMEM;
    } catch (const std::exception& e) {
        if (!session.error) {
            session.error = std::current_exception();
        }
        SetMessage(message, e.what());
    } catch (...) {
        if (!session.error) {
            session.error = std::current_exception();
        }
        SetMessage(message, "unknown error");
    }
    return SQLITE_ERROR;
}

// A statement the table does not carry out; the connection turns it into a
// statement error naming the file.
TableRefusal Refusal(const Sheet& sheet, const std::string& what) {
    return TableRefusal("シート「" + ToUtf8(sheet.name()) + "」では" + what + "はできません");
}

int Connect(sqlite3* db, void* aux, int argc, const char* const* argv, sqlite3_vtab** out,
            char** error) {
    auto& session = *static_cast<TableSession*>(aux);
    return Guard(session, *error, [&] {
        if (argc < 4) {
            SetMessage(*error, "sheet index missing");
            return SQLITE_ERROR;
        }
        Sheet& sheet = session.book->sheet(std::stoi(argv[3]));
        std::vector<TableColumn> columns = TableColumns(sheet);
        int rc = sqlite3_declare_vtab(db, DeclareTableSql(columns).c_str());
        if (rc != SQLITE_OK) {
            return rc;
        }
        std::vector<ColumnKind> kinds;
        kinds.reserve(columns.size());
        for (const TableColumn& c : columns) {
            kinds.push_back(c.kind);
        }
        auto table = std::make_unique<SheetTable>(session, sheet, std::move(kinds));
        *out = table.release();
        return SQLITE_OK;
    });
}

int Disconnect(sqlite3_vtab* vtab) {
    delete &TableOf(vtab);
    return SQLITE_OK;
}

int BestIndex(sqlite3_vtab* vtab, sqlite3_index_info* info) {
    double rows = TableOf(vtab).sheet.lastUsedRow() + 1.0;
    info->estimatedCost = rows;
    info->estimatedRows = static_cast<sqlite3_int64>(rows);
    // Rows come in sheet order, which is rowid order.
    if (info->nOrderBy == 1 && info->aOrderBy[0].iColumn == -1 && !info->aOrderBy[0].desc) {
        info->orderByConsumed = 1;
    }
    return SQLITE_OK;
}

int Open(sqlite3_vtab*, sqlite3_vtab_cursor** out) {
    try {
        *out = new SheetCursor();
        return SQLITE_OK;
    } catch (const std::bad_alloc&) {
        return SQLITE_NOMEM;
    }
}

int Close(sqlite3_vtab_cursor* cursor) {
    delete &CursorOf(cursor);
    return SQLITE_OK;
}

int Filter(sqlite3_vtab_cursor* cursor, int, const char*, int, sqlite3_value**) {
    SheetCursor& c = CursorOf(cursor);
    c.row = 2;
    // Fixed here so that rows appended by the statement itself are not read.
    c.end = TableOf(cursor->pVtab).sheet.lastUsedRow();
    return SQLITE_OK;
}

int Next(sqlite3_vtab_cursor* cursor) {
    ++CursorOf(cursor).row;
    return SQLITE_OK;
}

int Eof(sqlite3_vtab_cursor* cursor) {
    const SheetCursor& c = CursorOf(cursor);
    return c.row > c.end ? 1 : 0;
}

int Column(sqlite3_vtab_cursor* cursor, sqlite3_context* context, int column) {
    // An UPDATE leaves this column as it is: no value, so no rewrite.
    if (sqlite3_vtab_nochange(context)) {
        return SQLITE_OK;
    }
    SheetCursor& c = CursorOf(cursor);
    SheetTable& table = TableOf(cursor->pVtab);
    try {
        SetResult(context, table.sheet.cell(c.row, column + 1), table.kinds[column], c.buffer);
        return SQLITE_OK;
    } catch (const std::bad_alloc&) {
        return SQLITE_NOMEM;
    }
}

int Rowid(sqlite3_vtab_cursor* cursor, sqlite3_int64* rowid) {
    *rowid = CursorOf(cursor).row;
    return SQLITE_OK;
}

void Insert(SheetTable& table, sqlite3_value** values, sqlite3_int64* rowid) {
    if (sqlite3_value_type(values[1]) != SQLITE_NULL) {
        throw Refusal(table.sheet, "行番号 (rowid) を指定した追加");
    }
    Sheet::Row cells;
    cells.reserve(table.kinds.size());
    bool empty = true;
    for (size_t i = 0; i < table.kinds.size(); ++i) {
        cells.push_back(CellFromValue(values[2 + i], table.kinds[i]));
        empty = empty && cells.back().isEmpty();
    }
    table.undo.remember(table.sheet.lastUsedRow() + 1);
    *rowid = table.sheet.appendRow(std::move(cells));
    table.pendingChange = table.pendingChange || !empty;
}

void Update(SheetTable& table, sqlite3_value** values) {
    sqlite3_int64 row = sqlite3_value_int64(values[0]);
    if (sqlite3_value_type(values[1]) != SQLITE_INTEGER || sqlite3_value_int64(values[1]) != row) {
        throw Refusal(table.sheet, "行番号 (rowid) の変更");
    }
    for (size_t i = 0; i < table.kinds.size(); ++i) {
        if (sqlite3_value_nochange(values[2 + i])) {
            continue;
        }
        int column = static_cast<int>(i) + 1;
        Cell cell = CellFromValue(values[2 + i], table.kinds[i]);
        if (cell == table.sheet.cell(static_cast<int>(row), column)) {
            continue;
        }
        table.undo.remember(static_cast<int>(row));
        table.sheet.setCell(static_cast<int>(row), column, std::move(cell));
        table.pendingChange = true;
    }
}

int UpdateRows(sqlite3_vtab* vtab, int argc, sqlite3_value** argv, sqlite3_int64* rowid) {
    SheetTable& table = TableOf(vtab);
    return Guard(table.session, vtab->zErrMsg, [&] {
        if (argc == 1) {
            throw Refusal(table.sheet, "行の削除 (DELETE)");
        }
        if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
            Insert(table, argv, rowid);
        } else {
            Update(table, argv);
        }
        return SQLITE_OK;
    });
}

int Begin(sqlite3_vtab* vtab) {
    SheetTable& table = TableOf(vtab);
    table.undo.commit();
    table.pendingChange = false;
    return SQLITE_OK;
}

int Sync(sqlite3_vtab*) {
    return SQLITE_OK;
}

int Commit(sqlite3_vtab* vtab) {
    SheetTable& table = TableOf(vtab);
    table.undo.commit();
    table.session.changed = table.session.changed || table.pendingChange;
    table.pendingChange = false;
    return SQLITE_OK;
}

int Rollback(sqlite3_vtab* vtab) {
    SheetTable& table = TableOf(vtab);
    table.pendingChange = false;
    return Guard(table.session, vtab->zErrMsg, [&] {
        table.undo.rollback();
        return SQLITE_OK;
    });
}

const sqlite3_module& SheetModule() {
    static const sqlite3_module module = [] {
        sqlite3_module m{};
        m.iVersion = 1;
        m.xCreate = Connect;
        m.xConnect = Connect;
        m.xBestIndex = BestIndex;
        m.xDisconnect = Disconnect;
        m.xDestroy = Disconnect;
        m.xOpen = Open;
        m.xClose = Close;
        m.xFilter = Filter;
        m.xNext = Next;
        m.xEof = Eof;
        m.xColumn = Column;
        m.xRowid = Rowid;
        m.xUpdate = UpdateRows;
        m.xBegin = Begin;
        m.xSync = Sync;
        m.xCommit = Commit;
        m.xRollback = Rollback;
        return m;
    }();
    return module;
}

// SQLite keeps names starting with "sqlite_" for itself; such a sheet is
// simply not reachable by statements.
bool ReservedName(const std::u16string& name) {
    return name.size() >= 7 && SameSheetName(std::u16string_view(name).substr(0, 7), u"sqlite_");
}

} // namespace

int CreateSheetTables(sqlite3* db, TableSession& session) {
    int rc = sqlite3_create_module_v2(db, "tomorine_sheet", &SheetModule(), &session, nullptr);
    for (int i = 1; rc == SQLITE_OK && i <= session.book->sheetCount(); ++i) {
        const Sheet& sheet = session.book->sheet(i);
        if (ReservedName(sheet.name())) {
            continue;
        }
        std::string sql = "CREATE VIRTUAL TABLE " + QuoteIdentifier(TableName(sheet)) +
                          " USING tomorine_sheet(" + std::to_string(i) + ")";
        rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    }
    return rc;
}

} // namespace tomorine
