#pragma once

#include <string>
#include <string_view>

namespace tomorine {

// Takes the next piece of `text` up to the first character of `delimiter`
// (only that character counts) and leaves in `text` what follows it. Leading
// delimiter characters are skipped. Empty text or delimiter: "" and `text`
// unchanged.
std::string NextLine(std::string& text, std::string_view delimiter);

} // namespace tomorine
