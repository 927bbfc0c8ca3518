#include "merge/merge_statements.h"

#include "store/entry.h"
#include "store/table/recordset.h"

#include <string>

namespace tomorine {

namespace {

const std::u16string kTmp = u"[tmp$]";

} // namespace

const std::vector<std::u16string>& MergeColumnNames() {
    // The entry sheet's columns between シリアル番号 and 削除.
    static const std::vector<std::u16string> names(EntryColumnNames().begin() + 1,
                                                   EntryColumnNames().end() - 1);
    return names;
}

std::u16string BuildMergeSelectStatement() {
    const std::u16string entries(EntryTable);
    std::u16string sql = u"SELECT " + kTmp + u".* " + u"FROM " + kTmp + u" " +
                         u"WHERE NOT EXISTS ( SELECT " + entries + u".* " + u"FROM " + entries +
                         u" " + u"WHERE ";
    bool first = true;
    for (const std::u16string& col : MergeColumnNames()) {
        sql += first ? u"" : u" and ";
        first = false;
        sql += u"(" + kTmp + u"." + col + u" = " + entries + u"." + col + u" or " + kTmp + u"." +
               col + u" Is Null)";
    }
    return sql + u" )";
}

std::u16string BuildMergeInsertStatement(std::int32_t serial, const Recordset& row) {
    std::u16string sql = u"INSERT INTO " + std::u16string(EntryTable) + u" (シリアル番号,";
    for (const std::u16string& col : MergeColumnNames()) {
        sql += col + u",";
    }
    const std::string digits = std::to_string(serial);
    sql += u"削除) VALUES ('" + std::u16string(digits.begin(), digits.end()) + u"',";
    for (const std::u16string& col : MergeColumnNames()) {
        const Cell& value = row.field(col);
        sql += value.isEmpty() ? u"''," : u"'" + EscapeQuotes(CellToText(value)) + u"',";
    }
    return sql + u"'0')";
}

} // namespace tomorine
