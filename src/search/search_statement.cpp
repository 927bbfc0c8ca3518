#include "search/search_statement.h"

#include "store/entry.h"

namespace tomorine {

std::u16string BuildSearchStatement(std::u16string_view urlText) {
    std::u16string sql = u"select * from " + std::u16string(EntryTable) + u" where ";
    if (!urlText.empty()) {
        const FieldLayout& url = LayoutOf(FieldGroup::Url);
        std::vector<std::u16string> chunks = SplitChunks(urlText, url.chunks);
        for (int i = 0; i < url.chunks; ++i) {
            std::u16string column = ChunkColumnName(FieldGroup::Url, i + 1);
            sql += chunks[i].empty() ? column + u" is Null"
                                     : column + u" = '" + EscapeQuotes(chunks[i]) + u"'";
            sql += i + 1 < url.chunks ? u" and " : u"";
        }
        sql += u" and ";
    }
    sql += u"削除 = 0";
    return sql;
}

} // namespace tomorine
