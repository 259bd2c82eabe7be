// SPDX-License-Identifier: MIT
#pragma once

// Counts the heap allocations made while a probe is alive, so that tests can
// bound what a reader allocates by size and by count rather than by time.
// The test executable that links AllocationProbe.cpp replaces the global
// allocation functions; one probe at a time.

#include <cstddef>
#include <cstdint>

namespace vellisto::testing {

struct AllocationCounts {
    std::size_t calls = 0;
    std::uint64_t totalBytes = 0;
    std::size_t largestBytes = 0;
};

class AllocationProbe {
public:
    AllocationProbe(); // counts from zero
    ~AllocationProbe(); // stops counting
    AllocationProbe(const AllocationProbe&) = delete;
    AllocationProbe& operator=(const AllocationProbe&) = delete;

    AllocationCounts counts() const;
};

} // namespace vellisto::testing
