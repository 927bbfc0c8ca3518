#include "entry_fixture.h"

#include "store/workbook/utf.h"

namespace tomorine::test {

namespace {

std::u16string Numbered(std::u16string_view prefix, int n) {
    std::string digits = std::to_string(n);
    return std::u16string(prefix) + std::u16string(digits.begin(), digits.end());
}

std::u16string Number(int n) {
    return Numbered(u"", n);
}

} // namespace

const std::vector<std::u16string>& TextColumns() {
    static const std::vector<std::u16string> columns = [] {
        std::vector<std::u16string> names;
        for (auto [prefix, count] : {std::pair<std::u16string_view, int>{u"URL", 16},
                                     {u"タイトル", 4},
                                     {u"サブタイトル", 4},
                                     {u"コメント", 16},
                                     {u"キーワード", 16}}) {
            for (int i = 1; i <= count; ++i) {
                names.push_back(Numbered(prefix, i));
            }
        }
        return names;
    }();
    return columns;
}

Workbook EntryWorkbook() {
    Workbook book;
    Sheet& sheet = book.addSheet(u"トモリネ");
    Sheet::Row header{Cell::text(u"シリアル番号")};
    Sheet::Row dummy{Cell::number(0)};
    for (size_t i = 0; i < TextColumns().size(); ++i) {
        header.push_back(Cell::text(TextColumns()[i]));
        dummy.push_back(Cell::text(i < 16 ? u"dummy" : u"ダミー"));
    }
    header.push_back(Cell::text(u"削除"));
    dummy.push_back(Cell::number(1));
    sheet.appendRow(std::move(header));
    sheet.appendRow(std::move(dummy));
    return book;
}

void AddEntry(Sheet& sheet, int serial, const Texts& texts) {
    Sheet::Row row{Cell::number(serial)};
    for (const std::u16string& name : TextColumns()) {
        auto found = texts.find(name);
        row.push_back(found == texts.end() ? Cell() : Cell::text(found->second));
    }
    row.push_back(Cell::number(0));
    sheet.appendRow(std::move(row));
}

std::u16string InsertStatement(std::u16string_view table, int serial, const Texts& texts) {
    std::u16string sql = u"INSERT INTO " + std::u16string(table) + u" (シリアル番号,";
    for (const std::u16string& name : TextColumns()) {
        sql += name + u",";
    }
    sql += u"削除) VALUES ('" + Number(serial) + u"',";
    for (const std::u16string& name : TextColumns()) {
        auto found = texts.find(name);
        sql += u"'" + (found == texts.end() ? u"" : found->second) + u"',";
    }
    return sql + u"'0')";
}

std::u16string UpdateStatement(int serial, const Texts& texts) {
    std::u16string sql = u"UPDATE [トモリネ$] SET シリアル番号 = '" + Number(serial) + u"'";
    for (const std::u16string& name : TextColumns()) {
        auto found = texts.find(name);
        sql += u"," + name + u" = '" + (found == texts.end() ? u"" : found->second) + u"'";
    }
    return sql + u",削除 = '0' WHERE シリアル番号 = " + Number(serial);
}

std::u16string MergeSelect() {
    std::u16string sql = u"SELECT [tmp$].* FROM [tmp$] WHERE NOT EXISTS ( SELECT [トモリネ$].* "
                         u"FROM [トモリネ$] WHERE ";
    bool first = true;
    for (const std::u16string& c : TextColumns()) {
        sql += first ? u"" : u" and ";
        sql += u"([tmp$]." + c + u" = [トモリネ$]." + c + u" or [tmp$]." + c + u" Is Null)";
        first = false;
    }
    return sql + u" )";
}

std::string Shown(const Cell& cell) {
    switch (cell.kind()) {
    case CellKind::Empty:
        return "NULL";
    case CellKind::Number:
        return ToUtf8(FormatNumber(cell.asNumber()));
    case CellKind::Text:
        return "'" + ToUtf8(cell.asText()) + "'";
    default:
        return "?";
    }
}

std::vector<std::string> FieldValues(Recordset& rows, std::u16string_view field) {
    std::vector<std::string> values;
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
        values.push_back(Shown(rows.field(field)));
    }
    return values;
}

Connection InMemory(Workbook book) {
    return Connection("/nonexistent-folder/トモリネ.xls", std::move(book));
}

} // namespace tomorine::test
