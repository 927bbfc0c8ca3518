#include "search/search_statement.h"

#include "store/entry.h"

namespace tomorine {

namespace {

std::u16string UrlCondition(const std::vector<std::u16string>& chunks) {
    std::u16string sql;
    for (size_t i = 0; i < chunks.size(); ++i) {
        std::u16string column = ChunkColumnName(FieldGroup::Url, static_cast<int>(i) + 1);
        sql += chunks[i].empty() ? column + u" is Null"
                                 : column + u" = '" + EscapeQuotes(chunks[i]) + u"'";
        sql += i + 1 < chunks.size() ? u" and " : u"";
    }
    return sql;
}

} // namespace

std::u16string BuildSearchStatement(std::u16string_view urlText) {
    std::u16string sql = u"select * from " + std::u16string(EntryTable) + u" where ";
    if (!urlText.empty()) {
        const int slots = LayoutOf(FieldGroup::Url).chunks;
        const std::vector<std::u16string> chunks = SplitChunks(urlText, slots);
        const std::vector<std::u16string> older = FixedChunks(urlText, slots);
        if (chunks == older) {
            sql += UrlCondition(chunks);
        } else {
            // Files of earlier versions cut the URL inside a character.
            sql += u"((" + UrlCondition(chunks) + u") or (" + UrlCondition(older) + u"))";
        }
        sql += u" and ";
    }
    sql += u"削除 = 0";
    return sql;
}

} // namespace tomorine
