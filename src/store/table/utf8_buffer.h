#pragma once

#include <string>
#include <string_view>

namespace tomorine {

// Conversions on the hot path of the table interface (every text cell of
// every row read passes through both), without a per-character append.
//
// Unlike ToUtf8 and FromUtf8 they keep a lone surrogate: cutting texts into
// 125-unit chunks can split a pair between two cells, and each half has to
// reach its cell and come back. A lone surrogate travels through SQLite in
// its own three-byte form (0xED 0xA0-0xBF ..), which SQLite stores and
// compares as bytes.

// Replaces `out` by the UTF-8 form of `text`, reusing its capacity.
void AssignUtf8(std::string& out, std::u16string_view text);

// The UTF-16 form of a UTF-8 text, exactly as long as it needs to be;
// other invalid input as FromUtf8 has it. `scratch` is reused across calls.
std::u16string DecodeUtf8(std::string_view text, std::u16string& scratch);

} // namespace tomorine
