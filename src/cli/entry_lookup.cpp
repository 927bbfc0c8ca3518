#include "cli/entry_lookup.h"

#include <string>

namespace tomorine::cli {

std::optional<Entry> FindLiveEntry(Connection& connection, std::int32_t serial) {
    std::string number = std::to_string(serial);
    std::u16string statement = u"select * from [トモリネ$] where 削除 = 0 and シリアル番号 = " +
                               std::u16string(number.begin(), number.end());
    Recordset rows = connection.execute(statement);
    if (rows.eof()) {
        return std::nullopt;
    }
    return ReadEntry(rows);
}

} // namespace tomorine::cli
