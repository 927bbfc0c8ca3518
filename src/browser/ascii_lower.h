#pragma once

#include <string>
#include <string_view>

namespace tomorine {

// The text with A-Z lowered and every other byte kept, for the ASCII names
// of schemes, tags, charsets and file extensions; UTF-8 stays intact.
std::string AsciiLower(std::string_view text);

} // namespace tomorine
