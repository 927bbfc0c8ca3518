#pragma once

#include <string>
#include <string_view>

namespace tomorine {

// Appends `text` to `out` in Windows code page 932. A character that CP932
// cannot hold, or holds only as another character (for example "−", which
// reads back as "－"), is written as a decimal numeric character reference
// ("&#128512;" for a character beyond the BMP); a lone surrogate as the
// reference of U+FFFD. The table behind it comes from glibc's "CP932"
// converter, built once; without that converter only ASCII is written as
// bytes.
void AppendCp932WithReferences(std::u16string_view text, std::string& out);

} // namespace tomorine
