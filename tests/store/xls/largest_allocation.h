#pragma once

#include <cstddef>

namespace tomorine::test {

// The largest single request to operator new while an object of this class
// lives. Only one at a time; the test executable that uses it replaces the
// global operator new.
class LargestAllocation {
public:
    LargestAllocation();
    ~LargestAllocation();
    LargestAllocation(const LargestAllocation&) = delete;
    LargestAllocation& operator=(const LargestAllocation&) = delete;

    std::size_t bytes() const;
};

} // namespace tomorine::test
