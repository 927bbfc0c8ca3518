#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tomorine {

// UTF-7 (RFC 2152), as the browser writes the Unicode section of an Internet
// shortcut. Strict: nothing when the text is not well-formed UTF-7 (a "+" run
// with leftover bits, a lone surrogate, NUL, a byte beyond ASCII), so that a plain
// URL holding "+" is not mistaken for encoded text.
std::optional<std::u16string> DecodeUtf7(std::string_view text);

} // namespace tomorine
