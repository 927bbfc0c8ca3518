#pragma once

#include <exception>
#include <iosfwd>
#include <string>
#include <string_view>

namespace tomorine::cli {

// A failure takes exactly one line on standard error, "tomorine-cli: " and
// the text, so that a script can show it as it is. Returns ExitFailure.
int Fail(std::ostream& err, std::string_view text);
// The failure's own description first, then the command's message, as the
// main window shows them in two message boxes.
int Fail(std::ostream& err, const std::exception& error, std::string_view then);

// A message that reports success or nothing found, on standard error.
void Notice(std::ostream& err, std::string_view text);

// Line breaks become spaces.
std::string OneLine(std::string_view text);

} // namespace tomorine::cli
