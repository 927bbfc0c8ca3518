// Chromium's session file reader under arbitrary bytes: never a crash, a
// hang or a read past the input; only http(s) pages come out.
#include "browser/chromium_session.h"
#include "fuzz_target.h"

FUZZ_TARGET(data, bytes) {
    for (const tomorine::VisitedPage& page : tomorine::SessionNavigations(data)) {
        FUZZ_EXPECT(page.url.starts_with("http://") || page.url.starts_with("https://"));
    }
}
