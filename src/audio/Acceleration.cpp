// SPDX-License-Identifier: MIT
#include "audio/Acceleration.h"

#include <algorithm>
#include <atomic>
#include <initializer_list>
#include <thread>

namespace vellisto::audio {

namespace {

    std::atomic<KernelPath> g_path { KernelPath::kFast };
    std::atomic<std::uint32_t> g_threads { 0 }; // 0: the hardware's count
    std::atomic<VectorIsa> g_isa { VectorIsa::kAvx512 }; // narrowed to what the processor runs

    VectorIsa Detect()
    {
#if defined(__x86_64__) || defined(__i386__)
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw"))
            return VectorIsa::kAvx512;
        if (__builtin_cpu_supports("avx2"))
            return VectorIsa::kAvx2;
#endif
#if defined(__SSE2__)
        return VectorIsa::kSse2;
#else
        return VectorIsa::kPortable;
#endif
    }

} // namespace

KernelPath CurrentKernelPath() { return g_path.load(std::memory_order_relaxed); }
void SetKernelPath(KernelPath path) { g_path.store(path, std::memory_order_relaxed); }

std::uint32_t WorkerThreads()
{
    const std::uint32_t set = g_threads.load(std::memory_order_relaxed);
    if (set != 0)
        return set;
    return std::max(1u, std::thread::hardware_concurrency());
}
void SetWorkerThreads(std::uint32_t threads)
{
    g_threads.store(threads, std::memory_order_relaxed);
}

VectorIsa DetectedVectorIsa()
{
    static const VectorIsa detected = Detect();
    return detected;
}

bool Supports(VectorIsa isa) { return isa <= DetectedVectorIsa(); }

std::vector<VectorIsa> SupportedVectorIsas()
{
    std::vector<VectorIsa> isas;
    for (const VectorIsa isa :
        { VectorIsa::kPortable, VectorIsa::kSse2, VectorIsa::kAvx2, VectorIsa::kAvx512 }) {
        if (Supports(isa))
            isas.push_back(isa);
    }
    return isas;
}

VectorIsa CurrentVectorIsa()
{
    return std::min(g_isa.load(std::memory_order_relaxed), DetectedVectorIsa());
}
void SetVectorIsa(VectorIsa isa) { g_isa.store(isa, std::memory_order_relaxed); }

} // namespace vellisto::audio
