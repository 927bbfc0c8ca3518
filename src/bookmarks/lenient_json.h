#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tomorine {

// JSON text with what a strict parser refuses in an otherwise sound file
// mended: each byte that is not part of valid UTF-8 becomes U+FFFD, and so
// does a \u escape of half a surrogate pair. Nothing when there was nothing
// to mend; `replaced` counts the replacements.
std::optional<std::string> MendedJson(std::string_view text, int& replaced);

} // namespace tomorine
