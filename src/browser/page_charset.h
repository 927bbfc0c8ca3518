#pragma once

#include <string>
#include <string_view>

namespace tomorine {

// The iconv name of the page's charset: the one the Content-Type header
// declares, else a byte order mark, else a <meta> or XML declaration near the
// top, else what the bytes look like (ISO-2022-JP escapes, valid UTF-8, or
// whichever of EUC-JP and CP932 reads as more Japanese text).
std::string PageCharset(std::string_view bytes, std::string_view contentType);

// The page as UTF-8. Bytes the charset cannot read become U+FFFD; an unknown
// charset name falls back to the detection above.
std::string DecodePage(std::string_view bytes, std::string_view contentType);

// Text that declares no charset (a shortcut file, say) as UTF-8: a byte
// order mark says the encoding, otherwise valid UTF-8 is taken as such and
// anything else as CP932. Unreadable bytes become U+FFFD.
std::string UndeclaredTextToUtf8(std::string_view bytes);

} // namespace tomorine
