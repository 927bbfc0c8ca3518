#include "store/entry.h"
#include "store/workbook/cell.h"

#include <gtest/gtest.h>

namespace tomorine {
namespace {

TEST(SplitChunks, FillsEverySlotAndDropsTheRest) {
    struct Case {
        size_t length;
        int slots;
        std::vector<size_t> sizes;
    };
    for (const Case& c : std::vector<Case>{
             {0, 4, {0, 0, 0, 0}},
             {125, 4, {125, 0, 0, 0}},
             {126, 4, {125, 1, 0, 0}},
             {300, 16, {125, 125, 50, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
             {600, 4, {125, 125, 125, 125}},
         }) {
        std::u16string text;
        for (size_t i = 0; i < c.length; ++i) {
            text += static_cast<char16_t>(u'ぁ' + i % 80);
        }
        std::vector<std::u16string> chunks = SplitChunks(text, c.slots);
        ASSERT_EQ(chunks.size(), c.sizes.size());
        std::u16string joined;
        for (size_t i = 0; i < chunks.size(); ++i) {
            EXPECT_EQ(chunks[i].size(), c.sizes[i]) << c.length << " slot " << i;
            joined += chunks[i];
        }
        EXPECT_EQ(joined, text.substr(0, 125 * c.slots));
    }
}

TEST(SplitChunks, CountsUtf16CodeUnits) {
    std::u16string text(124, u'a');
    text += u"𠮷"; // a surrogate pair: its second unit goes to the next chunk
    std::vector<std::u16string> chunks = SplitChunks(text, 4);
    EXPECT_EQ(chunks[0].size(), 125u);
    EXPECT_EQ(chunks[1].size(), 1u);
}

struct Rewrite {
    std::u16string in;
    std::u16string out;
};

class EscapeQuotesTable : public testing::TestWithParam<Rewrite> {};
TEST_P(EscapeQuotesTable, DoublesApostrophesOnly) {
    EXPECT_EQ(EscapeQuotes(GetParam().in), GetParam().out);
}
INSTANTIATE_TEST_SUITE_P(Table, EscapeQuotesTable,
                         testing::Values(Rewrite{u"", u""}, Rewrite{u"it's", u"it''s"},
                                         Rewrite{u"''", u"''''"}, Rewrite{u"'a'", u"''a''"},
                                         Rewrite{u"\"\\%\r\n", u"\"\\%\r\n"},
                                         Rewrite{u"ロバート'", u"ロバート''"}));

class SpacesToTabsTable : public testing::TestWithParam<Rewrite> {};
TEST_P(SpacesToTabsTable, TurnsOnlyTrailingSpacesIntoTabs) {
    EXPECT_EQ(TrailingSpacesToTabs(GetParam().in), GetParam().out);
    // The read-back rule undoes it whenever the text did not end in tabs.
    if (GetParam().in.find(u'\t') == std::u16string::npos) {
        EXPECT_EQ(TrailingTabsToSpaces(GetParam().out), GetParam().in);
    }
}
INSTANTIATE_TEST_SUITE_P(Table, SpacesToTabsTable,
                         testing::Values(Rewrite{u"", u""}, Rewrite{u"ab  ", u"ab\t\t"},
                                         Rewrite{u"   ", u"\t\t\t"}, Rewrite{u"a b", u"a b"},
                                         Rewrite{u" a", u" a"}, Rewrite{u"a\t ", u"a\t\t"},
                                         Rewrite{u"あ　", u"あ　"}));

TEST(TrailingTabsToSpaces, ARealTrailingTabComesBackAsASpace) {
    EXPECT_EQ(TrailingTabsToSpaces(u"news\t"), u"news ");
    EXPECT_EQ(TrailingTabsToSpaces(u"a\tb"), u"a\tb");
}

TEST(ChunkLiterals, ApplyTheWriteRulesPerChunk) {
    Entry e;
    e.url = u"http://x/ '";
    // Characters 121-125 are spaces: chunk 1 ends in five tabs on disk.
    e.comment = std::u16string(120, u'c') + u"     " + std::u16string(125, u'd');
    e.title = u"abc   ";
    std::vector<std::u16string> literals = ChunkLiterals(e);
    ASSERT_EQ(literals.size(), 56u);
    EXPECT_EQ(literals[0], u"http://x/ ''");                            // URL: escaped, no tab rule
    EXPECT_EQ(literals[16], u"abc\t\t\t");                              // タイトル1
    EXPECT_EQ(literals[24], std::u16string(120, u'c') + u"\t\t\t\t\t"); // コメント1
    EXPECT_EQ(literals[25], std::u16string(125, u'd'));                 // コメント2
}

TEST(CellConversions, SerialsAndTexts) {
    EXPECT_EQ(CellToInt32(Cell()), 0);
    EXPECT_EQ(CellToInt32(Cell::number(41)), 41);
    EXPECT_EQ(CellToInt32(Cell::number(2.5)), 2);
    EXPECT_EQ(CellToInt32(Cell::number(1e12)), 2147483647);
    EXPECT_EQ(CellToInt32(Cell::text(u"12")), 12);
    EXPECT_EQ(CellToText(Cell::number(123)), u"123");
    EXPECT_EQ(CellToText(Cell()), u"");
}

TEST(EntryColumns, FiftyEightNamesInSheetOrder) {
    const std::vector<std::u16string>& n = EntryColumnNames();
    ASSERT_EQ(n.size(), 58u);
    EXPECT_EQ(n[0], u"シリアル番号");
    EXPECT_EQ(n[1], u"URL1");
    EXPECT_EQ(n[16], u"URL16");
    EXPECT_EQ(n[17], u"タイトル1");
    EXPECT_EQ(n[21], u"サブタイトル1");
    EXPECT_EQ(n[25], u"コメント1");
    EXPECT_EQ(n[41], u"キーワード1");
    EXPECT_EQ(n[56], u"キーワード16");
    EXPECT_EQ(n[57], u"削除");
}

} // namespace
} // namespace tomorine
