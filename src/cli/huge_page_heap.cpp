#include "cli/huge_page_heap.h"

#include <cstdint>
#include <cstdlib>
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

namespace tomorine::cli {

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;
// About what reading 65,536 entries takes.
constexpr int kHeapStep = 192 << 20;
constexpr int kDefaultTopPad = 128 << 10;
constexpr int kLargestHeapBlock = 32 << 20; // glibc's ceiling for the mmap threshold
} // namespace

void UseHugePageHeap() {
    if (std::getenv("GLIBC_TUNABLES") != nullptr) {
        return; // the user's own malloc settings stand
    }
    // Large blocks come from the heap too, and the step is not given back
    // when the block that made it is freed.
    ::mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock);
    ::mallopt(M_TRIM_THRESHOLD, kHeapStep);
    ::mallopt(M_TOP_PAD, kHeapStep);
    auto* before = static_cast<char*>(::sbrk(0));
    // Volatile: a compiler may drop a malloc whose block is only freed.
    void* volatile grow = std::malloc(mallinfo2().keepcost + 1);
    std::free(grow);
    auto* after = static_cast<char*>(::sbrk(0));
    // Later growth asks for no more than it needs: under strict overcommit a
    // large pad could fail a small allocation.
    ::mallopt(M_TOP_PAD, kDefaultTopPad);
    auto* first = reinterpret_cast<char*>(
        (reinterpret_cast<std::uintptr_t>(before) + kHugePage - 1) & ~(kHugePage - 1));
    if (after > first) {
        ::madvise(first, static_cast<std::size_t>(after - first), MADV_HUGEPAGE);
    }
}

} // namespace tomorine::cli
