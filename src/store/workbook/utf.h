#pragma once

#include <string>
#include <string_view>

namespace tomorine {

// Entry texts are UTF-16 (chunks count code units); file names, SQLite and
// error descriptions are UTF-8. Invalid input becomes U+FFFD, never an error.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

} // namespace tomorine
