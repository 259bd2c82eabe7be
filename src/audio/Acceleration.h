// SPDX-License-Identifier: MIT
#pragma once

// How the exact sample arithmetic of conversion and mixing is computed. Every
// choice here gives the same bits; only the speed differs.
//
// - Kernel path: the fast loops (per-phase weight tables, vector dot products,
//   voices rendered a stretch at a time, tracks on several threads) or the
//   reference loops (one division per sinc tap, frame by frame, one thread),
//   which stay as the plain statement of the arithmetic that the fast loops
//   are checked against.
// - Worker threads: how many threads a mix, or a long conversion, may use.
// - Vector instructions: the widest set the fast loops use on this processor,
//   found at run time, so that one build runs on every x86-64.
//
// Threads: the choices are process-wide. They are set at start-up (the
// command line does it from its options) before any mix or conversion runs;
// every later read sees them. Changing them while a mix or a conversion runs
// affects only the mixes and conversions started afterwards.

#include <cstdint>
#include <vector>

namespace vellisto::audio {

enum class KernelPath : std::uint32_t { kFast, kReference };

// Instruction sets of the fast loops, narrowest first.
enum class VectorIsa : std::uint32_t {
    kPortable, // plain C++: any processor
    kSse2, // every x86-64
    kAvx2, // 256-bit integer vectors
    kAvx512, // 512-bit integer vectors (AVX-512 F and BW)
};

KernelPath CurrentKernelPath();
void SetKernelPath(KernelPath path);

// Worker threads, the calling thread included: the number set, or when none
// was set (or 0) the processor's hardware threads; always at least 1.
std::uint32_t WorkerThreads();
void SetWorkerThreads(std::uint32_t threads);

// The widest instruction set this processor runs; whether it runs a given one.
VectorIsa DetectedVectorIsa();
bool Supports(VectorIsa isa);
// Every set this processor runs, narrowest first.
std::vector<VectorIsa> SupportedVectorIsas();

// The set the fast loops use: the detected one unless narrowed (benchmarks
// and tests narrow it to measure or check each variant). A set the processor
// lacks is never used: asking for one leaves the widest supported one below it.
VectorIsa CurrentVectorIsa();
void SetVectorIsa(VectorIsa isa);

} // namespace vellisto::audio
