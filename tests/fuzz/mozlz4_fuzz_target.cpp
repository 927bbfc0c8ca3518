// The mozLz4 decoder on any bytes: the text or nothing.
#include "browser/mozlz4.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    (void)tomorine::DecodeMozLz4({(const char*)data, size});
    return 0;
}
