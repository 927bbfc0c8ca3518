#include "keywords/keyword_statements.h"

#include "store/entry.h"

namespace tomorine {

namespace {

// The work sheet as statements name it, with the blank that follows it.
std::u16string KeywordTable() {
    return u"[" + std::u16string(KeywordSheetName) + u"$] ";
}

} // namespace

std::u16string KeywordSourceStatement() {
    return u"SELECT * " + (u"FROM " + std::u16string(EntryTable)) + u" WHERE " +
           std::u16string(DeletedColumn) + u" = 0";
}

std::u16string KeywordInsertStatement(std::u16string_view word) {
    return u"INSERT INTO " + KeywordTable() + u"(keyword) " + u"VALUES (" + u"'" +
           EscapeQuotes(word) + u"'" + u")";
}

std::u16string DistinctKeywordStatement() {
    return u"SELECT distinct keyword " + (u"FROM " + KeywordTable()) + u"ORDER BY keyword";
}

} // namespace tomorine
