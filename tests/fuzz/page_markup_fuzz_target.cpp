// A fetched page of any bytes: its charset found, decoded and its markup parsed.
#include "browser/page_charset.h"
#include "browser/page_markup.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view bytes((const char*)data, size);
    (void)tomorine::PageCharset(bytes, "text/html");
    (void)tomorine::ParsePageMarkup(tomorine::DecodePage(bytes, ""));
    return 0;
}
