#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tomorine {

// The 56 chunk texts of a favorite's entry: the URL in its 16 chunks, the
// name in the 4 title chunks as it is (no trailing-space rule), every
// subtitle, comment and keyword chunk empty. Text beyond the chunks (2,000
// characters of URL, 500 of name) is dropped.
std::vector<std::u16string> FavoriteChunks(std::u16string_view url, std::u16string_view name);

} // namespace tomorine
