#include "keyword_book.h"

#include "keywords/keyword_list.h"
#include "store/data_workbook.h"
#include "store/entry.h"
#include "store/workbook/utf.h"

namespace tomorine::test {

KeywordRow Stored(std::u16string_view keywords, bool deleted) {
    KeywordRow row{{}, deleted};
    for (const std::u16string& chunk : SplitChunks(keywords, 16)) {
        row.chunks.push_back(TrailingSpacesToTabs(chunk));
    }
    return row;
}

Workbook KeywordBook(const std::vector<KeywordRow>& rows) {
    Workbook book = NewDataWorkbook();
    Sheet& sheet = book.sheet(1);
    const int first = LayoutOf(FieldGroup::Keywords).firstColumn;
    for (size_t i = 0; i < rows.size(); ++i) {
        Sheet::Row cells(EntryColumnCount);
        cells[0] = Cell::number(static_cast<double>(i + 1));
        cells[1] = Cell::text(u"http://example.jp/" + FromUtf8(std::to_string(i + 1)));
        for (size_t c = 0; c < rows[i].chunks.size(); ++c) {
            if (!rows[i].chunks[c].empty()) {
                cells[first - 1 + c] = Cell::text(rows[i].chunks[c]);
            }
        }
        cells[EntryColumnCount - 1] = Cell::number(rows[i].deleted ? 1 : 0);
        sheet.appendRow(std::move(cells));
    }
    return book;
}

std::vector<std::string> Utf8Keywords(const std::filesystem::path& dataFile) {
    std::vector<std::string> keywords;
    for (const KeywordLine& line : ListKeywords(dataFile)) {
        keywords.push_back(ToUtf8(line.keyword));
    }
    return keywords;
}

} // namespace tomorine::test
