#include "store/cache/freed_memory.h"

#include <cstdlib> // defines __GLIBC__ with the C library
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tomorine {

void ReturnFreedMemory() {
#if defined(__GLIBC__)
    ::malloc_trim(0);
#endif
}

} // namespace tomorine
