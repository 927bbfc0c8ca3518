// Chunks and caps hold whole characters; halves stored by older versions
// still read back whole.
#include "store/data_workbook.h"
#include "store/entry.h"
#include "store/table/connection.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tomorine {
namespace {

const std::u16string kYoshinoya = u"𠮷野家"; // 𠮷 is a surrogate pair
const std::u16string kEmoji = u"😀";

std::u16string Repeat(std::u16string_view unit, int count) {
    std::u16string text;
    for (int i = 0; i < count; ++i) {
        text += unit;
    }
    return text;
}

bool IsHigh(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLow(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

struct Case {
    const char* name;
    std::u16string text;
    int slots;
    std::vector<size_t> sizes; // of the non-empty chunks
};

std::vector<Case> Cases() {
    const std::u16string kaDakuten = u"か\u3099"; // が as two characters
    const std::u16string ivs = u"葛\U000E0100";   // an ideographic variation sequence
    const std::u16string flag = u"🇯🇵";
    const std::u16string family = u"👨\u200D👩\u200D👧";
    return {
        {"title 124 あ + 𠮷野家", Repeat(u"あ", 124) + kYoshinoya, 4, {124, 4}},
        {"pair right after a full chunk", Repeat(u"a", 125) + kEmoji, 4, {125, 2}},
        {"emoji at position 124", Repeat(u"a", 124) + kEmoji + u"b", 16, {124, 3}},
        {"title 499 + emoji: cap drops the emoji",
         Repeat(u"a", 499) + kEmoji,
         4,
         {125, 125, 125, 124}},
        {"2,000 cap, 1,999 + emoji",
         Repeat(u"a", 1999) + kEmoji,
         16,
         {125, 125, 125, 125, 125, 125, 125, 125, 125, 125, 125, 125, 125, 125, 125, 124}},
        {"BMP text cut at 125 as always", Repeat(u"あ", 126), 4, {125, 1}},
        {"voiced mark stays with its kana", Repeat(u"a", 124) + kaDakuten, 4, {124, 2}},
        {"variation sequence kept whole", Repeat(u"a", 124) + ivs, 4, {124, 3}},
        {"flag kept whole", Repeat(u"a", 123) + flag, 4, {123, 4}},
        {"joined emoji kept whole", Repeat(u"a", 122) + family, 4, {122, 8}},
        {"marks only: cut between pairs", Repeat(u"\U000E0100", 70), 4, {124, 16}},
        {"a lone half is kept as it was", Repeat(u"a", 124) + u"\xDC00" + u"b", 4, {125, 1}},
    };
}

TEST(SplitChunks, NeverSplitsACharacterAndJoinsBackToTheText) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        const std::vector<std::u16string> chunks = SplitChunks(c.text, c.slots);
        ASSERT_EQ(chunks.size(), static_cast<size_t>(c.slots));
        std::vector<size_t> sizes;
        std::u16string joined;
        for (const std::u16string& chunk : chunks) {
            if (!chunk.empty()) {
                sizes.push_back(chunk.size());
            }
            EXPECT_LE(chunk.size(), 125u);
            if (c.text.find(u'\xDC00') == std::u16string::npos && !chunk.empty()) {
                EXPECT_FALSE(IsLow(chunk.front())) << "starts with a low half";
                EXPECT_FALSE(IsHigh(chunk.back())) << "ends with a high half";
            }
            joined += chunk;
        }
        EXPECT_EQ(sizes, c.sizes);
        EXPECT_EQ(joined, c.text.substr(0, joined.size())) << "the chunks are the text's start";
        if (c.text.size() <= static_cast<size_t>(c.slots) * 125 - c.slots) {
            EXPECT_EQ(joined, c.text);
        }
    }
}

// Files written before whole characters were kept hold the halves of a pair
// in two cells; the entry still reads back whole.
TEST(SplitChunks, HalvesInTwoCellsOfAnOldFileReadBackWhole) {
    test::TempDir dir;
    Workbook book = NewDataWorkbook();
    const std::u16string title = Repeat(u"あ", 124) + kYoshinoya;
    Sheet::Row row(EntryColumnCount);
    row[0] = Cell::number(1);
    row[1] = Cell::text(u"http://a.jp/");
    row[17] = Cell::text(title.substr(0, 125)); // ends with the high half
    row[18] = Cell::text(title.substr(125));    // starts with the low half
    row[57] = Cell::number(0);
    book.sheet(EntrySheetName).replaceRow(3, std::move(row));
    WriteXlsFile(book, dir / "old.xls");

    Connection connection(Connection::ConnectionString(dir / "old.xls"));
    Recordset rows = connection.execute(u"select * from [トモリネ$] where 削除 = 0");
    ASSERT_FALSE(rows.eof());
    EXPECT_EQ(ReadEntry(rows).title, title);
}

} // namespace
} // namespace tomorine
