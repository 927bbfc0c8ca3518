// The merge's statements, character for character, and its refusal of a
// reference that is the data file or has its name.
#include "merge/merge_checks.h"
#include "merge/merge_messages.h"
#include "merge/merge_statements.h"
#include "store/table/not_exists_form.h"
#include "store/table/recordset.h"
#include "store/workbook/utf.h"

#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

std::u16string Repeat(std::u16string_view piece, int times) {
    std::u16string text;
    for (int i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

std::u16string Condition(std::u16string_view col) {
    const std::u16string c(col);
    return u"([tmp$]." + c + u" = [トモリネ$]." + c + u" or [tmp$]." + c + u" Is Null)";
}

TEST(MergeStatementsTest, SelectComparesTheTextColumnsInOrder) {
    const std::u16string sql = BuildMergeSelectStatement();
    const std::u16string head = u"SELECT [tmp$].* FROM [tmp$] WHERE NOT EXISTS ( SELECT "
                                u"[トモリネ$].* FROM [トモリネ$] WHERE ";
    ASSERT_EQ(sql.substr(0, head.size()), head);
    std::u16string conditions;
    for (const char16_t* group :
         {u"URL", u"タイトル", u"サブタイトル", u"コメント", u"キーワード"}) {
        const int chunks = std::u16string_view(group) == u"URL"            ? 16
                           : std::u16string_view(group) == u"タイトル"     ? 4
                           : std::u16string_view(group) == u"サブタイトル" ? 4
                                                                           : 16;
        for (int n = 1; n <= chunks; ++n) {
            conditions += (conditions.empty() ? u"" : u" and ") +
                          Condition(group + FromUtf8(std::to_string(n)));
        }
    }
    EXPECT_EQ(sql, head + conditions + u" )");
    const std::u16string first = u"([tmp$].URL1 = [トモリネ$].URL1 or [tmp$].URL1 Is Null) and ";
    EXPECT_EQ(sql.substr(head.size(), first.size()), first);
}

// The table interface runs this form on a hash index instead of a nested scan.
TEST(MergeStatementsTest, SelectIsOfTheFormTheTableInterfaceRunsFast) {
    std::optional<NotExistsForm> form = RecogniseNotExists(ToUtf8(BuildMergeSelectStatement()));
    ASSERT_TRUE(form);
    EXPECT_EQ(form->outerTable, "tmp$");
    EXPECT_EQ(form->innerTable, "トモリネ$");
    ASSERT_EQ(form->pairs.size(), 56U);
    for (size_t i = 0; i < 56; ++i) {
        EXPECT_EQ(form->pairs[i].outerColumn, ToUtf8(MergeColumnNames()[i]));
        EXPECT_EQ(form->pairs[i].innerColumn, ToUtf8(MergeColumnNames()[i]));
    }
}

TEST(MergeStatementsTest, InsertQuotesEachChunkAndWritesNullAsEmpty) {
    const std::vector<std::u16string>& names = MergeColumnNames();
    ASSERT_EQ(names.size(), 56U);
    std::vector<std::u16string> fields{u"シリアル番号"};
    fields.insert(fields.end(), names.begin(), names.end());
    fields.push_back(u"削除");
    std::vector<Cell> values(fields.size());
    values[0] = Cell::number(7); // the reference's own serial is not used
    values[1] = Cell::text(u"abc");
    values[17] = Cell::text(u"it's");
    values[57] = Cell::number(1);
    Recordset row(fields, values);

    const std::u16string sql = BuildMergeInsertStatement(42, row);
    std::u16string columns;
    for (const std::u16string& name : names) {
        columns += name + u",";
    }
    EXPECT_EQ(sql, u"INSERT INTO [トモリネ$] (シリアル番号," + columns +
                       u"削除) VALUES ('42','abc'," + Repeat(u"'',", 15) + u"'it''s'," +
                       Repeat(u"'',", 39) + u"'0')");
    EXPECT_EQ(columns.substr(0, 15), u"URL1,URL2,URL3,");
    EXPECT_TRUE(columns.ends_with(
        u"コメント16,キーワード1,キーワード2,キーワード3,キーワード4,キーワード5,"
        u"キーワード6,キーワード7,キーワード8,キーワード9,キーワード10,キーワード11,"
        u"キーワード12,キーワード13,キーワード14,キーワード15,キーワード16,"));
}

TEST(SameFileRefusalTest, RefusesTheDataFileAndItsNameOnly) {
    const struct {
        const char* data;
        const char* reference;
        std::optional<std::u16string_view> refusal;
    } cases[] = {
        {"/data/bm.xls", "/data/bm.xls", MergeMessages::SamePath},
        {"/data/bm.xls", "/old/bm.xls", MergeMessages::SameFileName},
        {"/data/bm.xls", "/data/BM.xls", std::nullopt}, // letter case counts
        {"/data/bm.xls", "/data/other.xls", std::nullopt},
        // Directly in the root folder both split into empty parts.
        {"/bm.xls", "/other.xls", MergeMessages::SamePath},
        {"/data/bm.xls", "/bm.xls", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SameFileRefusal(c.data, c.reference), c.refusal) << c.data << " " << c.reference;
    }
}

} // namespace
} // namespace tomorine::test
