#pragma once

#include <optional>
#include <string>

namespace tomorine {

// The keyword field's text from a page's upper-cased markup, one element per
// line separated by CR LF: the value of the first line of the form
// <LF><META CONTENT=value NAME=KEYWORDS> (value optionally in double quotes),
// its commas turned into spaces. Nothing when no line has that form; the
// attributes in the other order are not recognised.
std::optional<std::string> KeywordsFromMarkup(std::string markup);

} // namespace tomorine
