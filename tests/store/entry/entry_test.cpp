// Chunks and caps hold whole characters, and halves stored by older versions
// still read back whole and save whole.
#include "store/entry.h"
#include "store/entry_registration.h"
#include "store/files/atomic_file.h"
#include "store/live_entries.h"
#include "store/workbook/utf.h"
#include "store/xls/xls_file.h"
#include "support/entry_rows.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"

#include <gtest/gtest.h>

namespace tomorine {
namespace {

// A short entry: an apostrophe in the URL, a title ending in two spaces.
const Entry kShort{0, u"http://a.jp/it's", u"題  ", u"", u"news sports", u"x"};
const std::u16string kYoshinoya = u"𠮷野家"; // 𠮷 is a surrogate pair
const std::u16string kEmoji = u"😀";

std::u16string A(size_t count) {
    return std::u16string(count, u'a');
}

// The sizes of the non-empty chunks; the chunks join back to the text's start,
// to all of it when it fits.
TEST(SplitChunks, NeverSplitsACharacter) {
    std::u16string marks; // variation selectors only: the cut falls between pairs
    for (int i = 0; i < 70; ++i) {
        marks += u"\U000E0100";
    }
    const struct {
        std::u16string text;
        int slots;
        std::vector<size_t> sizes;
    } cases[] = {
        {std::u16string(124, u'あ') + kYoshinoya, 4, {124, 4}},
        {A(125) + kEmoji, 4, {125, 2}},
        {A(499) + kEmoji, 4, {125, 125, 125, 124}}, // the cap drops the emoji
        {std::u16string(126, u'あ'), 4, {125, 1}},
        {A(124) + u"か\u3099", 4, {124, 2}},        // が as two characters
        {A(124) + u"葛\U000E0100", 4, {124, 3}},    // a variation sequence
        {A(123) + u"🇯🇵", 4, {123, 4}},              // a flag
        {A(122) + u"👨\u200D👩\u200D👧", 4, {122, 8}}, // joined emoji
        {marks, 4, {124, 16}},
        {A(124) + u"\xDC00" + u"b", 4, {125, 1}}, // a lone half is kept as it was
    };
    for (const auto& [text, slots, sizes] : cases) {
        const std::vector<std::u16string> chunks = SplitChunks(text, slots);
        ASSERT_EQ(chunks.size(), static_cast<size_t>(slots));
        std::vector<size_t> nonEmpty;
        std::u16string joined;
        for (const std::u16string& chunk : chunks) {
            if (!chunk.empty()) {
                nonEmpty.push_back(chunk.size());
            }
            joined += chunk;
        }
        EXPECT_EQ(nonEmpty, sizes) << ToUtf8(text);
        EXPECT_EQ(joined, text.substr(0, joined.size()));
        EXPECT_TRUE(text.size() > static_cast<size_t>(slots) * 124 || joined == text);
    }
}

// Files written before whole characters were kept hold the halves of a pair
// in two cells, which xlrd refuses. They read back whole, and one register
// saves every field whole: cut again (or joined in one cell where the cut
// would drop the field's end), a half with no partner U+FFFD. A row without
// halves keeps its exact cells.
TEST(SplitChunks, HalvesInTwoCellsOfAnOldFileReadBackWholeAndSaveWhole) {
    test::TempDir dir;
    const std::filesystem::path path = dir / "old.xls";
    const std::u16string url = A(124) + kYoshinoya + u"  ", subtitle = u"\xDC00副";
    // Fills its four chunks: cut again, it would lose its end.
    const std::u16string title =
        std::u16string(124, u'あ') + kYoshinoya + std::u16string(372, u'い');
    test::Texts texts{{u"URL1", url.substr(0, 125)}, // ends with the high half
                      {u"URL2", url.substr(125)},    // starts with the low half
                      {u"サブタイトル1", subtitle}};
    for (int i = 0; i < 4; ++i) {
        texts[ChunkColumnName(FieldGroup::Title, i + 1)] = title.substr(125 * i, 125);
    }
    const Workbook book =
        test::DataBook({test::EntryRow(1, texts),
                        test::EntryRow(2, {{u"URL1", u"http://b."}, {u"URL2", u"jp/"}})});
    WriteFileAtomically(path, WriteXlsBytes(book)); // as older versions wrote it
    ASSERT_TRUE(test::XlrdValues(path).contains("error"));

    RegisterEntry(path, kShort);
    EXPECT_TRUE(test::SameAsXlrd(book, test::XlrdValues(path, test::XlrdMode::Strict, {3})));
    // Not the workbook kept in memory.
    const Entry read =
        ReadEntry(LiveEntries(std::make_shared<const Workbook>(ReadXlsFile(path)), path));
    EXPECT_TRUE(read.url == url && read.title == title);
    EXPECT_EQ(ToUtf8(read.subtitle), "\uFFFD副");
}

} // namespace
} // namespace tomorine
