#include "store/entry_statements.h"

#include <gtest/gtest.h>

namespace tomorine {
namespace {

// A short entry: an apostrophe in the URL, a title ending in two spaces.
Entry ShortEntry() {
    Entry e;
    e.url = u"http://a.jp/it's";
    e.title = u"題  ";
    e.comment = u"x";
    e.keywords = u"news sports";
    return e;
}

// Written out by hand from the statement's definition, not from our code.
TEST(EntryStatements, InsertTextIsExact) {
    const std::u16string expected =
        u"INSERT INTO [トモリネ$] (シリアル番号,URL1,URL2,URL3,URL4,URL5,URL6,URL7,URL8,UR"
        u"L9,URL10,URL11,URL12,URL13,URL14,URL15,URL16,タイトル1,タイトル2,タイトル3,タイトル4,サ"
        u"ブタイトル1,サブタイトル2,サブタイトル3,サブタイトル4,コメント1,コメント2,コメント3,"
        u"コメント4,コメント5,コメント6,コメン"
        u"ト7,コメント8,コメント9,コメント10,コメント11,コメント12,コメント13,コメント14,"
        u"コメント15,コメント16,キーワード1"
        u",キーワード2,キーワード3,キーワード4,キーワード5,キーワード6,キーワード7,キーワード8,"
        u"キーワード9,キーワード10,キーワード"
        u"11,キーワード12,キーワード13,キーワード14,キーワード15,キーワード16,削除) VALUES "
        u"('7','http://a.j"
        u"p/it''s','','','','','','','','','','','','','','','','題\t\t','','','','"
        u"','','','','x','','','','','','','','','','','','','','','','news spor"
        u"ts','','','','','','','','','','','','','','','','0')";
    EXPECT_EQ(BuildInsertStatement(7, ShortEntry()), expected);
}

TEST(EntryStatements, UpdateTextIsExact) {
    const std::u16string expected =
        u"UPDATE [トモリネ$] SET シリアル番号 = '42',URL1 = 'http://a.jp/it''s',URL2 = '',"
        u"URL3 = '',URL4 = '',URL5 = '',URL6 = '',URL7 = '',URL8 = '',URL9 = '',"
        u"URL10 = '',URL11 = '',URL12 = '',URL13 = '',URL14 = '',URL15 = '',URL1"
        u"6 = '',タイトル1 = '題\t\t',タイトル2 = '',タイトル3 = '',タイトル4 = '',サブタイトル1 = "
        u"'',サブタ"
        u"イトル2 = '',サブタイトル3 = '',サブタイトル4 = '',コメント1 = 'x',コメント2 = "
        u"'',コメント3 = '',"
        u"コメント4 = '',コメント5 = '',コメント6 = '',コメント7 = '',コメント8 = '',コメント9 = "
        u"'',コメント"
        u"10 = '',コメント11 = '',コメント12 = '',コメント13 = '',コメント14 = '',コメント15 = "
        u"'',コメ"
        u"ント16 = '',キーワード1 = 'news sports',キーワード2 = '',キーワード3 = '',キーワード4 = "
        u"'',キ"
        u"ーワード5 = '',キーワード6 = '',キーワード7 = '',キーワード8 = '',キーワード9 = "
        u"'',キーワード10 = '"
        u"',キーワード11 = '',キーワード12 = '',キーワード13 = '',キーワード14 = '',キーワード15 = "
        u"'',キーワ"
        u"ード16 = '',削除 = '0' WHERE シリアル番号 = 42";
    EXPECT_EQ(BuildUpdateStatement(42, ShortEntry()), expected);
}

TEST(EntryStatements, EveryChunkIsWrittenEvenWhenEmpty) {
    std::u16string sql = BuildInsertStatement(1, Entry{});
    size_t empties = 0;
    for (size_t at = sql.find(u"'',"); at != std::u16string::npos; at = sql.find(u"'',", at + 3)) {
        ++empties;
    }
    EXPECT_EQ(empties, 56u);
}

TEST(EntryStatements, LongTextsAreCutAtTheirCapacity) {
    Entry e;
    e.title = std::u16string(600, u'題');
    e.url = std::u16string(2001, u'u');
    std::u16string sql = BuildInsertStatement(1, e);
    EXPECT_EQ(std::count(sql.begin(), sql.end(), u'題'), 500);
    EXPECT_EQ(std::count(sql.begin(), sql.end(), u'u'), 2000);
}

} // namespace
} // namespace tomorine
