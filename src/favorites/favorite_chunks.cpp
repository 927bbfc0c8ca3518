#include "favorites/favorite_chunks.h"

#include "store/entry.h"

namespace tomorine {

std::vector<std::u16string> FavoriteChunks(std::u16string_view url, std::u16string_view name) {
    std::vector<std::u16string> chunks = SplitChunks(url, LayoutOf(FieldGroup::Url).chunks);
    for (std::u16string& chunk : SplitChunks(name, LayoutOf(FieldGroup::Title).chunks)) {
        chunks.push_back(std::move(chunk));
    }
    chunks.resize(EntryColumnCount - 2);
    return chunks;
}

} // namespace tomorine
