#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tomorine {

// The insert of a favorite under `serial`: the URL in its 16 chunks, the name
// in the 4 title chunks as it is (no trailing-space rule), every subtitle,
// comment and keyword column empty, deleted flag 0. Text beyond the chunks
// (2,000 characters of URL, 500 of name) is dropped; apostrophes are doubled.
std::u16string BuildFavoriteInsertStatement(std::int32_t serial, std::u16string_view url,
                                            std::u16string_view name);

} // namespace tomorine
