#pragma once

#include "store/table/recordset.h"

#include <sqlite3.h>

namespace tomorine {

// Steps a prepared statement to its end. On SQLITE_DONE `rows` is an open
// recordset holding every row when the statement has result columns, and a
// closed one otherwise. Any other result is SQLite's error code (`rows` is
// then left as it was). Integers and reals become Number cells, texts and
// blobs Text cells, Null an empty cell.
int FetchRows(sqlite3_stmt* statement, Recordset& rows);

} // namespace tomorine
