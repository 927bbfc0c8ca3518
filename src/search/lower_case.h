#pragma once

namespace tomorine {

// Simple per-character lower case of the scripts a bookmark is likely to
// hold: ASCII, Latin-1, Latin Extended-A, Greek, Cyrillic, Roman numerals,
// circled and full-width letters. Anything else is returned as it is.
char16_t LowerChar(char16_t c);

} // namespace tomorine
