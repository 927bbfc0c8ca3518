#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tomorine {

// Windows code page 932 through glibc's "CP932" converter, which keeps 0x5C
// as "\" (its "SHIFT_JIS" turns it into a yen sign and breaks paths).

// A byte that is not valid CP932 becomes U+FFFD.
std::string Cp932ToUtf8(std::string_view bytes);

// Empty when a character has no CP932 form that reads back as the same
// character (for example "¥" or "−"): such text must not be stored as CP932.
std::optional<std::string> Utf8ToCp932(std::string_view text);

} // namespace tomorine
