#include "favorites/favorite_statements.h"

#include "store/entry.h"

#include <string>
#include <vector>

namespace tomorine {

std::u16string BuildFavoriteInsertStatement(std::int32_t serial, std::u16string_view url,
                                            std::u16string_view name) {
    const std::vector<std::u16string>& names = EntryColumnNames();
    std::u16string sql = u"INSERT INTO " + std::u16string(EntryTable) + u" (";
    for (const std::u16string& column : names) {
        sql += column + (column == DeletedColumn ? u") " : u",");
    }
    std::string number = std::to_string(serial);
    sql += u"VALUES ('" + std::u16string(number.begin(), number.end()) + u"',";
    for (const std::u16string& chunk : SplitChunks(url, LayoutOf(FieldGroup::Url).chunks)) {
        sql += u"'" + EscapeQuotes(chunk) + u"',";
    }
    for (const std::u16string& chunk : SplitChunks(name, LayoutOf(FieldGroup::Title).chunks)) {
        sql += u"'" + EscapeQuotes(chunk) + u"',";
    }
    int emptyColumns = LayoutOf(FieldGroup::Subtitle).chunks +
                       LayoutOf(FieldGroup::Comment).chunks + LayoutOf(FieldGroup::Keywords).chunks;
    for (int i = 0; i < emptyColumns; ++i) {
        sql += u"'',";
    }
    sql += u"'0')";
    return sql;
}

} // namespace tomorine
