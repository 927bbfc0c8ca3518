#pragma once

#include <string>
#include <string_view>

namespace tomorine {

// UTF-8 text of HTML with its character references decoded: numeric ones
// (a code point that is no character becomes U+FFFD) and the named ones
// bookmark files use; an unknown or unterminated reference stays as it is.
std::string DecodeEntities(std::string_view text);

// The text with &, <, > and " escaped, for element text and quoted
// attribute values alike.
std::string EscapeHtml(std::string_view text);

} // namespace tomorine
