#include "store/entry_statements.h"

#include <gtest/gtest.h>

namespace tomorine {
namespace {

// A short entry: an apostrophe in the URL, a title ending in two spaces.
const Entry kShort{0, u"http://a.jp/it's", u"題  ", u"", u"news sports", u"x"};

// Written out by hand from the statement's definition, not from our code.
TEST(EntryStatements, InsertTextIsExact) {
    const std::u16string expected =
        u"INSERT INTO [トモリネ$] (シリアル番号,URL1,URL2,URL3,URL4,URL5,URL6,URL7,URL8,URL9,URL10,"
        u"URL11,URL12,URL13,URL14,URL15,URL16,タイトル1,タイトル2,タイトル3,タイトル4,サブタイトル1"
        u",サブタイトル2,サブタイトル3,サブタイトル4,コメント1,コメント2,コメント3,コメント4,コメン"
        u"ト5,コメント6,コメント7,コメント8,コメント9,コメント10,コメント11,コメント12,コメント13,"
        u"コメント14,コメント15,コメント16,キーワード1,キーワード2,キーワード3,キーワード4,キーワー"
        u"ド5,キーワード6,キーワード7,キーワード8,キーワード9,キーワード10,キーワード11,キーワード1"
        u"2,キーワード13,キーワード14,キーワード15,キーワード16,削除) VALUES ('7','http://a.jp/it''"
        u"s','','','','','','','','','','','','','','','','題\t\t','','','','','','','','x','','','"
        u"','','','','','','','','','','','','','news sports','','','','','','','','','','','','','"
        u"','','','0')";
    EXPECT_EQ(BuildInsertStatement(7, kShort), expected);
}

TEST(EntryStatements, UpdateTextIsExact) {
    const std::u16string expected =
        u"UPDATE [トモリネ$] SET シリアル番号 = '42',URL1 = 'http://a.jp/it''s',URL2 = '',URL3 = ''"
        u",URL4 = '',URL5 = '',URL6 = '',URL7 = '',URL8 = '',URL9 = '',URL10 = '',URL11 = '',URL12 "
        u"= '',URL13 = '',URL14 = '',URL15 = '',URL16 = '',タイトル1 = '題\t\t',タイトル2 = '',タイ"
        u"トル3 = '',タイトル4 = '',サブタイトル1 = '',サブタイトル2 = '',サブタイトル3 = '',サブタ"
        u"イトル4 = '',コメント1 = 'x',コメント2 = '',コメント3 = '',コメント4 = '',コメント5 = '',"
        u"コメント6 = '',コメント7 = '',コメント8 = '',コメント9 = '',コメント10 = '',コメント11 = "
        u"'',コメント12 = '',コメント13 = '',コメント14 = '',コメント15 = '',コメント16 = '',キーワ"
        u"ード1 = 'news sports',キーワード2 = '',キーワード3 = '',キーワード4 = '',キーワード5 = ''"
        u",キーワード6 = '',キーワード7 = '',キーワード8 = '',キーワード9 = '',キーワード10 = '',キ"
        u"ーワード11 = '',キーワード12 = '',キーワード13 = '',キーワード14 = '',キーワード15 = '',"
        u"キーワード16 = '',削除 = '0' WHERE シリアル番号 = 42";
    EXPECT_EQ(BuildUpdateStatement(42, kShort), expected);
}

} // namespace
} // namespace tomorine
