#pragma once

#include <cstddef>
#include <string_view>

namespace tomorine {

// Where to cut a UTF-16 text at or before `end` (start < end <= size) so
// that both sides hold whole characters: never between the halves of a
// surrogate pair, and, where the piece from `start` keeps at least one
// character, not before a combining mark, a variation selector, an emoji
// modifier or tag, a joiner or what it joins, or the second half of a flag.
// Cuts only between the halves' positions that the text itself allows: a
// lone surrogate already in the text counts as a character.
std::size_t WholeCharacterCut(std::u16string_view text, std::size_t start, std::size_t end);

} // namespace tomorine
