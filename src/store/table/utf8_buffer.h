#pragma once

#include <string>
#include <string_view>

namespace tomorine {

// Conversions on the hot path of the table interface (every text cell of
// every row read passes through both), without a per-character append.
// Unlike ToUtf8 and FromUtf8 they keep a lone surrogate (in its three-byte
// form), since entry texts are cut into chunks by UTF-16 code units and a cut
// may fall inside a pair: every text goes through SQLite and back unchanged.

// Replaces `out` by the UTF-8 form of `text`, reusing its capacity.
void AssignUtf8(std::string& out, std::u16string_view text);

// The UTF-16 form of a UTF-8 text, exactly as long as it needs to be;
// invalid input as FromUtf8 has it. `scratch` is reused across calls.
std::u16string DecodeUtf8(std::string_view text, std::u16string& scratch);

} // namespace tomorine
