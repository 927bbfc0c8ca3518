// The mozLz4 decoder on any bytes: the text or nothing.
#include "browser/mozlz4.h"
#include "fuzz_target.h"

FUZZ_TARGET(data, bytes) {
    (void)tomorine::DecodeMozLz4(bytes);
}
