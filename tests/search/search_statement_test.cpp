// A URL search finds entries whatever version cut their URL into chunks.
#include "search/search_rows.h"
#include "store/entry.h"
#include "support/entry_rows.h"

#include <gtest/gtest.h>

namespace tomorine {
namespace {

TEST(SearchStatement, FindsAUrlCutByThisOrAnEarlierVersion) {
    const std::u16string split = u"https://a.jp/" + std::u16string(111, u'p') + u"😀/x";
    const std::u16string plain = u"https://a.jp/" + std::u16string(200, u'q');
    for (auto cut : {&SplitChunks, &FixedChunks}) {
        std::vector<Sheet::Row> entries; // an entry per URL, its chunks cut as `cut` cuts them
        for (const std::u16string& url : {plain, split}) {
            test::Texts texts;
            const std::vector<std::u16string> chunks = cut(url, 16);
            for (size_t i = 0; i < chunks.size() && !chunks[i].empty(); ++i) {
                texts[EntryColumnNames()[1 + i]] = chunks[i];
            }
            entries.push_back(test::EntryRow(static_cast<int>(entries.size()) + 1, texts));
        }
        auto book = std::make_shared<const Workbook>(test::DataBook(entries));
        for (const std::u16string& url : {split, plain}) {
            Recordset rows = SearchRows(book, "book.xls", url);
            ASSERT_EQ(rows.recordCount(), 1);
            EXPECT_EQ(ReadEntry(rows).url, url);
        }
    }
}

} // namespace
} // namespace tomorine
