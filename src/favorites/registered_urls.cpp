#include "favorites/registered_urls.h"

#include "store/entry.h"
#include "store/table/connection.h"

#include <algorithm>
#include <vector>

namespace tomorine {

namespace {

constexpr char16_t kNull = 0xFFFF; // never a length: a cell holds at most 32,767 characters

// Each column as its length and text, or the Null mark, so that no two rows
// share a key unless every column matches.
void AppendColumn(std::u16string& key, const std::u16string* text) {
    if (text == nullptr || text->empty()) {
        key += kNull;
        return;
    }
    key += static_cast<char16_t>(std::min<size_t>(text->size(), kNull - 1));
    key += *text;
}

std::u16string KeyOf(std::u16string_view url) {
    std::u16string key;
    for (const std::u16string& chunk : SplitChunks(url, LayoutOf(FieldGroup::Url).chunks)) {
        AppendColumn(key, &chunk);
    }
    return key;
}

} // namespace

RegisteredUrls::RegisteredUrls(Connection& connection) {
    const SheetRows rows = connection.rows(EntrySheetName);
    std::vector<int> columns;
    for (int i = 1; i <= LayoutOf(FieldGroup::Url).chunks; ++i) {
        columns.push_back(rows.column(ChunkColumnName(FieldGroup::Url, i)));
    }
    keys_.reserve(static_cast<size_t>(std::max(0, rows.lastRow() - 1)) * 2);
    for (int r = rows.firstRow(); r <= rows.lastRow(); ++r) {
        std::u16string key;
        for (int column : columns) {
            const Cell cell = rows.value(r, column);
            std::u16string text = cell.isEmpty() ? std::u16string() : CellToText(cell);
            AppendColumn(key, cell.isEmpty() ? nullptr : &text);
        }
        keys_.insert(std::move(key));
    }
}

bool RegisteredUrls::contains(std::u16string_view url) const {
    return keys_.contains(KeyOf(url));
}

void RegisteredUrls::add(std::u16string_view url) {
    keys_.insert(KeyOf(url));
}

} // namespace tomorine
