// SPDX-License-Identifier: MIT
#pragma once

// Makes one chosen heap allocation fail, so that tests can walk a command's
// out-of-memory paths one allocation at a time, and counts the blocks alive,
// so that they can check nothing leaked on the way. The test executable that
// links AllocationFailure.cpp replaces the global allocation functions
// (every form but the aligned ones); one AllocationFailure at a time, on one
// thread.

#include <cstddef>
#include <cstdint>

namespace vellisto::testing {

class AllocationFailure {
public:
    // The failingCall-th allocation from now (counting from 1) fails: the
    // throwing forms of operator new throw std::bad_alloc, the nothrow forms
    // return null. Every other allocation succeeds.
    explicit AllocationFailure(std::size_t failingCall);
    ~AllocationFailure(); // no further failure
    AllocationFailure(const AllocationFailure&) = delete;
    AllocationFailure& operator=(const AllocationFailure&) = delete;

    // Allocations counted so far, and whether the chosen one was reached.
    std::size_t calls() const;
    bool failed() const;
};

// While alive, allocations on this thread are neither counted nor failed:
// for the fakes that stand in for the platform (message boxes, clipboard),
// whose own allocations are not what a test means to fail.
class AllocationPause {
public:
    AllocationPause();
    ~AllocationPause();
    AllocationPause(const AllocationPause&) = delete;
    AllocationPause& operator=(const AllocationPause&) = delete;
};

// Blocks allocated through the replaced functions and not yet released.
std::int64_t LiveAllocations();

} // namespace vellisto::testing
