#pragma once

#include <memory>
#include <sqlite3.h>

namespace tomorine {

// Owners of the two SQLite handles the table interface holds. Both may be
// null and are move-only. A database is closed with sqlite3_close_v2, which
// postpones the close until its last statement is finalised, so destruction
// order never leaks or fails; a statement is finalised.
struct SqliteDatabaseCloser {
    void operator()(sqlite3* db) const noexcept { sqlite3_close_v2(db); }
};
struct SqliteStatementFinalizer {
    void operator()(sqlite3_stmt* statement) const noexcept { sqlite3_finalize(statement); }
};

using SqliteDatabase = std::unique_ptr<sqlite3, SqliteDatabaseCloser>;
using SqliteStatement = std::unique_ptr<sqlite3_stmt, SqliteStatementFinalizer>;

} // namespace tomorine
