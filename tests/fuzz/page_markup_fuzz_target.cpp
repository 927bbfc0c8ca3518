// A fetched page of any bytes: its charset found, decoded and its markup parsed.
#include "browser/page_charset.h"
#include "browser/page_markup.h"
#include "fuzz_target.h"

FUZZ_TARGET(data, bytes) {
    (void)tomorine::PageCharset(bytes, "text/html");
    (void)tomorine::ParsePageMarkup(tomorine::DecodePage(bytes, ""));
}
