#pragma once

#include <string>
#include <string_view>

namespace tomorine {

// What the capture reads of a fetched page.
struct PageMarkup {
    std::string title;  // the <title> text, spaces collapsed; UTF-8
    std::string markup; // every element's start tag in document order, one a
                        // line, CR LF between, upper-cased as the keyword
                        // rule reads it
};

// Parses UTF-8 HTML as a browser would (libxml2's forgiving HTML parser).
// Attribute values are written unquoted when they can be, in quotes when they
// hold spaces or markup characters, and line breaks in them become spaces so
// that each element stays on one line. A keywords META element is written
// as <META CONTENT=value NAME=KEYWORDS>, whatever the page's order, case or
// other attributes, so that the keyword rule finds it.
PageMarkup ParsePageMarkup(std::string_view utf8Html);

} // namespace tomorine
