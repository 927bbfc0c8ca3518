#include "store/entry_statements.h"

namespace tomorine {

namespace {

std::u16string Decimal(std::int32_t n) {
    std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

} // namespace

std::u16string BuildInsertStatement(std::int32_t serial, const Entry& entry) {
    const std::vector<std::u16string>& names = EntryColumnNames();
    std::u16string sql = u"INSERT INTO " + std::u16string(EntryTable) + u" (シリアル番号,";
    for (size_t i = 1; i + 1 < names.size(); ++i) {
        sql += names[i] + u",";
    }
    sql += u"削除) ";
    sql += u"VALUES ('" + Decimal(serial) + u"',";
    for (const std::u16string& literal : ChunkLiterals(entry)) {
        sql += u"'" + literal + u"',";
    }
    sql += u"'0')";
    return sql;
}

std::u16string BuildUpdateStatement(std::int32_t serial, const Entry& entry) {
    const std::vector<std::u16string>& names = EntryColumnNames();
    std::u16string sql =
        u"UPDATE " + std::u16string(EntryTable) + u" SET シリアル番号 = '" + Decimal(serial) + u"'";
    std::vector<std::u16string> literals = ChunkLiterals(entry);
    for (size_t i = 0; i < literals.size(); ++i) {
        sql += u"," + names[i + 1] + u" = '" + literals[i] + u"'";
    }
    sql += u",削除 = '0' ";
    sql += u"WHERE シリアル番号 = " + Decimal(serial);
    return sql;
}

} // namespace tomorine
