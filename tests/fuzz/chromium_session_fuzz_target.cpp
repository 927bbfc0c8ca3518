// Chromium's session file reader under arbitrary bytes: never a crash, a
// hang or a read past the input; only http(s) pages come out.
#include "browser/chromium_session.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const tomorine::VisitedPage& page : tomorine::SessionNavigations({data, size})) {
        if (!page.url.starts_with("http://") && !page.url.starts_with("https://")) {
            std::abort();
        }
    }
    return 0;
}
