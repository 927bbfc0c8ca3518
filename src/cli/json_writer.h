#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tomorine::cli {

// Minimal JSON output: the caller writes the punctuation, these write values.
void WriteJsonString(std::ostream& out, std::u16string_view text);
// "[7, 12]"
void WriteJsonSerials(std::ostream& out, const std::vector<std::int32_t>& serials);

// The same, appended to a buffer that the caller writes out in large pieces.
void AppendJsonString(std::string& out, std::u16string_view text);
// Shortest text that reads back as the same double; null for NaN/infinity.
void AppendJsonNumber(std::string& out, double value);

} // namespace tomorine::cli
