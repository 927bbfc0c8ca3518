#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace tomorine::cli {

// Minimal JSON output: the caller writes the punctuation, these write values.
void WriteJsonString(std::ostream& out, std::u16string_view text);
// Shortest text that reads back as the same double; null for NaN/infinity.
void WriteJsonNumber(std::ostream& out, double value);

// The same, appended to a buffer that the caller writes out in large pieces.
void AppendJsonString(std::string& out, std::u16string_view text);
void AppendJsonNumber(std::string& out, double value);

} // namespace tomorine::cli
