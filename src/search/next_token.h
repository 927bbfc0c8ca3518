#pragma once

#include <string>
#include <string_view>

namespace tomorine {

// The word delimiters of a search text: the half-width and the full-width space.
inline constexpr std::u16string_view WordDelimiters = u" \u3000";

// Cuts the next word off `text`: returns the word and removes it and the
// delimiter that ended it. Every character of `delimiters` is one delimiter.
// While no delimiter has been found, each delimiter in turn resets where the
// word starts, so leading delimiters may stay in the word (" def" from
// "  def" with WordDelimiters); callers rely on that exact behaviour.
std::u16string NextToken(std::u16string& text, std::u16string_view delimiters);

} // namespace tomorine
