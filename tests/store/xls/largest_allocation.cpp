#include <algorithm>
#include <cstdlib>
#include <new>

namespace tomorine::test {
bool TrackAllocations = false;
std::size_t LargestAllocation = 0;
} // namespace tomorine::test
using namespace tomorine::test;

void* operator new(std::size_t size) {
    LargestAllocation = TrackAllocations ? std::max(LargestAllocation, size) : LargestAllocation;
    void* p = std::malloc(size == 0 ? 1 : size);
    return p != nullptr ? p : throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
