// The mozLz4 decoder under arbitrary bytes: the text or nothing, never more
// than the format's bound allocated.
#include "browser/mozlz4.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    (void)tomorine::DecodeMozLz4(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
