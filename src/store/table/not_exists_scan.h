#pragma once

#include "store/table/recordset.h"

#include <sqlite3.h>
#include <string_view>

namespace tomorine {

// RunNotExists left the statement to SQLite.
inline constexpr int kNotExistsNotTaken = -1;

// SQLite runs a NOT EXISTS of the form RecogniseNotExists knows as a nested
// scan: every outer row reads every inner row, 56 columns at a time. This
// runs it in about linear time with the same meaning: the inner table's
// compared columns are read once into hash indexes (the first column's at
// once, a later column's only when earlier ones leave many candidates), and
// the outer rows are read once, in their order, keeping those that no inner
// row matches.
//
// Taken only when every compared column of both tables is declared TEXT with
// the binary collation (so "=" compares bytes) and every value read is a
// text or Null; otherwise, or for any other statement, returns
// kNotExistsNotTaken with `rows` untouched and the caller runs the statement
// as it is. Otherwise returns what FetchRows would (SQLITE_DONE with `rows`
// filled, or SQLite's error code). `sql` must already have been prepared
// successfully on `db`.
int RunNotExists(sqlite3* db, std::string_view sql, Recordset& rows);

} // namespace tomorine
