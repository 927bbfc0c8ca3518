#include "largest_allocation.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace {
bool g_tracking = false;
std::size_t g_largest = 0;
} // namespace

void* operator new(std::size_t size) {
    g_largest = g_tracking ? std::max(g_largest, size) : g_largest;
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

tomorine::test::LargestAllocation::LargestAllocation() {
    g_largest = 0;
    g_tracking = true;
}

tomorine::test::LargestAllocation::~LargestAllocation() {
    g_tracking = false;
}

std::size_t tomorine::test::LargestAllocation::bytes() const {
    return g_largest;
}
