// SPDX-License-Identifier: MIT
#include "support/AllocationFailure.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace vellisto::testing {

namespace {

    std::atomic<bool> g_armed { false };
    std::atomic<std::size_t> g_calls { 0 };
    std::atomic<std::size_t> g_failingCall { 0 };
    std::atomic<bool> g_failed { false };
    std::atomic<std::int64_t> g_live { 0 };
    thread_local int t_paused = 0;

    // True when this allocation is the one chosen to fail.
    bool ChosenToFail()
    {
        if (!g_armed.load(std::memory_order_relaxed) || t_paused > 0)
            return false;
        if (g_calls.fetch_add(1, std::memory_order_relaxed) + 1 != g_failingCall)
            return false;
        g_failed = true;
        return true;
    }

    void* Allocate(std::size_t bytes) noexcept
    {
        if (ChosenToFail())
            return nullptr;
        void* p = std::malloc(bytes == 0 ? 1 : bytes);
        if (p != nullptr)
            g_live.fetch_add(1, std::memory_order_relaxed);
        return p;
    }

    void* AllocateOrThrow(std::size_t bytes)
    {
        void* p = Allocate(bytes);
        if (p == nullptr)
            throw std::bad_alloc();
        return p;
    }

    void Release(void* p) noexcept
    {
        if (p == nullptr)
            return;
        g_live.fetch_sub(1, std::memory_order_relaxed);
        std::free(p);
    }

} // namespace

AllocationFailure::AllocationFailure(std::size_t failingCall)
{
    g_calls = 0;
    g_failed = false;
    g_failingCall = failingCall;
    g_armed = true;
}

AllocationFailure::~AllocationFailure() { g_armed = false; }

std::size_t AllocationFailure::calls() const { return g_calls.load(); }

bool AllocationFailure::failed() const { return g_failed.load(); }

AllocationPause::AllocationPause() { ++t_paused; }

AllocationPause::~AllocationPause() { --t_paused; }

std::int64_t LiveAllocations() { return g_live.load(); }

} // namespace vellisto::testing

// The replaced allocation functions: every form ends in Allocate and Release.
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
void operator delete(void* p) noexcept { vellisto::testing::Release(p); }
void operator delete[](void* p) noexcept { vellisto::testing::Release(p); }
void operator delete(void* p, std::size_t) noexcept { vellisto::testing::Release(p); }
void operator delete[](void* p, std::size_t) noexcept { vellisto::testing::Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { vellisto::testing::Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { vellisto::testing::Release(p); }
