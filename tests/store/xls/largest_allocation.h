#pragma once

#include <cstddef>

namespace tomorine::test {

// The largest single request to operator new while an object of this class
// lives (one at a time); largest_allocation.cpp replaces operator new.
struct LargestAllocation {
    LargestAllocation();
    ~LargestAllocation();
    std::size_t bytes() const;
};

} // namespace tomorine::test
