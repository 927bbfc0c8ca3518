#pragma once

#include <cstddef>

// The largest single request to operator new, replaced in largest_allocation.cpp, while tracked.
namespace tomorine::test {
inline bool TrackAllocations = false;
inline std::size_t LargestAllocation = 0;
} // namespace tomorine::test
