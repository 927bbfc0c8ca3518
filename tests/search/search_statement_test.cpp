// A URL search finds entries whatever version cut their URL into chunks.
#include "search/search_rows.h"
#include "store/data_workbook.h"
#include "store/entry.h"

#include <gtest/gtest.h>

namespace tomorine {
namespace {

// Row 3 on: an entry per URL, its chunks cut as `cut` cuts them.
Workbook BookOf(const std::vector<std::u16string>& urls,
                std::vector<std::u16string> (*cut)(std::u16string_view, int)) {
    Workbook book = NewDataWorkbook();
    int row = 3;
    for (const std::u16string& url : urls) {
        Sheet::Row cells(EntryColumnCount);
        cells[0] = Cell::number(row - 2);
        std::vector<std::u16string> chunks = cut(url, 16);
        for (size_t i = 0; i < chunks.size(); ++i) {
            if (!chunks[i].empty()) {
                cells[1 + i] = Cell::text(chunks[i]);
            }
        }
        cells[EntryColumnCount - 1] = Cell::number(0);
        book.sheet(EntrySheetName).replaceRow(row++, std::move(cells));
    }
    return book;
}

TEST(SearchStatement, FindsAUrlCutByThisOrAnEarlierVersion) {
    const std::u16string split = u"https://a.jp/" + std::u16string(111, u'p') + u"😀/x";
    const std::u16string plain = u"https://a.jp/" + std::u16string(200, u'q');
    for (auto cut : {&SplitChunks, &FixedChunks}) {
        auto book = std::make_shared<const Workbook>(BookOf({plain, split}, cut));
        for (const std::u16string& url : {split, plain}) {
            Recordset rows = SearchRows(book, "book.xls", url);
            ASSERT_EQ(rows.recordCount(), 1);
            EXPECT_EQ(ReadEntry(rows).url, url);
        }
    }
}

} // namespace
} // namespace tomorine
