// SPDX-License-Identifier: MIT
#pragma once

// Counts the heap allocations made while a probe is alive, so that tests can
// bound what a reader allocates by size and by count rather than by time, and
// can make large allocations fail as when memory runs out. The test
// executable that links AllocationProbe.cpp replaces the global allocation
// functions; one probe at a time.

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

    // From now until the probe ends, every allocation of more than bytes
    // fails: the throwing forms throw std::bad_alloc, the others give null.
    void refuseAbove(std::size_t bytes);
};

} // namespace vellisto::testing
