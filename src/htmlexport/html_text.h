#pragma once

#include <string>
#include <string_view>

namespace tomorine {

// Every "&" becomes "&amp;", scanned once so that an inserted "amp;" is not
// looked at again; nothing else changes.
std::u16string EscapeAmpersands(std::u16string_view text);

// A stored URL made safe as a double-quoted attribute value: "&", '"', "<"
// and ">" become character references; everything else stays as stored (no
// full-width conversion, line breaks included), so that the browser reads
// back exactly the stored URL and nothing of it leaves the attribute.
std::u16string EscapeLinkTarget(std::u16string_view url);

// A title, subtitle or comment as the page shows it: converted to full
// width first and then ampersand-escaped. After the conversion no ASCII "&",
// "<", ">" or '"' is left, so the escape finds nothing and an "&" of the
// text shows as "＆", never as a reference or as "&amp;".
std::u16string DisplayText(std::u16string_view text);

} // namespace tomorine
