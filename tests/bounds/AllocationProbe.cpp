// SPDX-License-Identifier: MIT
#include "bounds/AllocationProbe.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace vellisto::testing {

namespace {

    std::atomic<bool> g_active { false };
    std::atomic<std::size_t> g_calls { 0 };
    std::atomic<std::uint64_t> g_totalBytes { 0 };
    std::atomic<std::size_t> g_largestBytes { 0 };
    constexpr std::size_t kNoLimit = static_cast<std::size_t>(-1);
    std::atomic<std::size_t> g_refuseAbove { kNoLimit };

    void Count(std::size_t bytes)
    {
        if (!g_active.load(std::memory_order_relaxed))
            return;
        g_calls.fetch_add(1, std::memory_order_relaxed);
        g_totalBytes.fetch_add(bytes, std::memory_order_relaxed);
        std::size_t largest = g_largestBytes.load(std::memory_order_relaxed);
        while (bytes > largest && !g_largestBytes.compare_exchange_weak(largest, bytes)) { }
    }

    void* Allocate(std::size_t bytes) noexcept
    {
        Count(bytes);
        if (bytes > g_refuseAbove.load(std::memory_order_relaxed))
            return nullptr;
        return std::malloc(bytes == 0 ? 1 : bytes);
    }

    void* AllocateOrThrow(std::size_t bytes)
    {
        void* p = Allocate(bytes);
        if (p == nullptr)
            throw std::bad_alloc();
        return p;
    }

} // namespace

AllocationProbe::AllocationProbe()
{
    g_calls = 0;
    g_totalBytes = 0;
    g_largestBytes = 0;
    g_active = true;
}

AllocationProbe::~AllocationProbe()
{
    g_active = false;
    g_refuseAbove = kNoLimit;
}

void AllocationProbe::refuseAbove(std::size_t bytes) { g_refuseAbove = bytes; }

AllocationCounts AllocationProbe::counts() const
{
    return { g_calls.load(), g_totalBytes.load(), g_largestBytes.load() };
}

} // namespace vellisto::testing

// The replaced allocation functions: every form ends in Allocate and free.
void* operator new(std::size_t bytes) { return vellisto::testing::AllocateOrThrow(bytes); }
void* operator new[](std::size_t bytes) { return vellisto::testing::AllocateOrThrow(bytes); }
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept
{
    return vellisto::testing::Allocate(bytes);
}
void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept
{
    return vellisto::testing::Allocate(bytes);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
