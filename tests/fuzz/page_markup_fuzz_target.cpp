// A fetched page under arbitrary bytes: its charset found, its text decoded
// to UTF-8 and its markup parsed, never a crash.
#include "browser/page_charset.h"
#include "browser/page_markup.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tomorine;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    (void)PageCharset(bytes, "text/html");
    (void)ParsePageMarkup(DecodePage(bytes, ""));
    return 0;
}
