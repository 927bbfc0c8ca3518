#include "search/search_rows.h"

#include "store/cache/workbook_cache.h"
#include "store/entry.h"
#include "store/live_entries.h"
#include "store/table/cell_value.h"
#include "store/workbook/utf.h"

#include <cstring>

namespace tomorine {

namespace {

// "column = 'chunk'" of a statement, or "column is Null" for an empty chunk.
bool ChunkEquals(const SheetRows& rows, int row, int column, const std::u16string& chunk) {
    // A text reads as itself (an empty one as Null): no copy for the usual case.
    const Cell& stored = rows.stored(row, column);
    if (stored.kind() == CellKind::Text && rows.columns()[column].kind == ColumnKind::Text) {
        // memcmp: char_traits<char16_t> compares one unit at a time.
        const std::u16string_view text = stored.asText();
        return text.size() == chunk.size() &&
               std::memcmp(text.data(), chunk.data(), text.size() * sizeof(char16_t)) == 0;
    }
    const Cell value = rows.value(row, column);
    if (chunk.empty() || value.isEmpty()) {
        return chunk.empty() && value.isEmpty();
    }
    if (rows.columns()[column].kind == ColumnKind::Number) {
        return ParseNumber(ToUtf8(chunk)) == value.asNumber();
    }
    return value.asText() == chunk;
}

bool ChunksEqual(const SheetRows& rows, int row, const std::vector<int>& columns,
                 const std::vector<std::u16string>& chunks) {
    for (size_t i = 0; i < chunks.size(); ++i) {
        if (!ChunkEquals(rows, row, columns[i], chunks[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

Recordset SearchRows(std::shared_ptr<const Workbook> book, const std::filesystem::path& file,
                     std::u16string_view urlText) {
    if (urlText.empty()) {
        return LiveEntries(std::move(book), file);
    }
    const int slots = LayoutOf(FieldGroup::Url).chunks;
    const std::vector<std::u16string> chunks = SplitChunks(urlText, slots);
    // Files of earlier versions cut the URL inside a character.
    const std::vector<std::u16string> older = FixedChunks(urlText, slots);
    std::vector<int> columns;
    const SheetRows entries(EntrySheet(*book, file), file);
    for (int i = 1; i <= slots; ++i) {
        columns.push_back(entries.column(ChunkColumnName(FieldGroup::Url, i)));
    }
    const bool olderDiffers = older != chunks;
    return LiveEntries(std::move(book), file, [&](const SheetRows& rows, int row) {
        return ChunksEqual(rows, row, columns, chunks) ||
               (olderDiffers && ChunksEqual(rows, row, columns, older));
    });
}

Recordset SearchRows(const std::filesystem::path& dataFile, std::u16string_view urlText) {
    return SearchRows(DataWorkbookCache().load(dataFile), dataFile, urlText);
}

} // namespace tomorine
