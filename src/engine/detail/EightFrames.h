// SPDX-License-Identifier: MIT
#pragma once

// "None" and "Linear" eight frames at a time in 256-bit vectors, for the
// fast mixing loops: the frames' positions in lanes, their samples gathered,
// every product and sum formed lane by lane as the one-frame kernels form it
// (32-bit products and sums that wrap, the arithmetic shift of "Linear").
// Stereo sums lie Stride words apart (left, then right). Like
// audio/SincDot.h, every function carries its target attribute and is
// inlined only into functions compiled for it.

#include "audio/SincDot.h"
#include "engine/detail/Kernels.h"
#include "engine/detail/VoiceMath.h"

#include <cstdint>

#if VEL_HAVE_X86_VECTORS

namespace vellisto::engine {

// "None" and "Linear" eight frames at a time in 256-bit vectors: the
// frames' positions in lanes, their samples gathered, every product and
// sum formed lane by lane as the scalar loop forms it (32-bit products
// and sums that wrap, the arithmetic shift of "Linear"). Renders the
// whole eights of the piece, moves position on by them and returns their
// frames.
struct EightFrames {
    // Sign-extends the low and the high 16 bits of each lane.
    [[gnu::target("avx2")]] static __m256i Low16(__m256i v)
    {
        return _mm256_srai_epi32(_mm256_slli_epi32(v, 16), 16);
    }
    [[gnu::target("avx2")]] static __m256i High16(__m256i v) { return _mm256_srai_epi32(v, 16); }

    // (x0 x w0 + x1 x w1) >> 16, with w1 = f >> 8, w0 = (2^24 - f) >> 8.
    [[gnu::target("avx2")]] static __m256i Linear(__m256i x0, __m256i x1, __m256i f)
    {
        const __m256i w1 = _mm256_srli_epi32(f, 8);
        const __m256i w0 = _mm256_srli_epi32(_mm256_sub_epi32(_mm256_set1_epi32(0x1000000), f), 8);
        return _mm256_srai_epi32(
            _mm256_add_epi32(_mm256_mullo_epi32(x0, w0), _mm256_mullo_epi32(x1, w1)), 16);
    }

    // How the stereo frames of eight positions are read: in one 8-frame
    // window (steps up to 1 frame: the eight lie within 8 frames of the
    // first), in two windows (steps up to 2 frames), or gathered one by
    // one. A window reads at most 16 frames past a position that lies
    // inside the samples, well within the zero guard zone.
    enum class Reach { kWindow8, kWindow16, kGather };

    // The frames at the eight lanes' offsets d from `at` (the first lane's
    // frame); `rel` are the lanes' frames from `base`.
    template <Reach R>
    [[gnu::target("avx2")]] static __m256i Frames(
        const int* base, const int* at, __m256i d, __m256i rel)
    {
        if constexpr (R == Reach::kWindow8) {
            return _mm256_permutevar8x32_epi32(
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at)), d);
        } else if constexpr (R == Reach::kWindow16) {
            const __m256i low = _mm256_permutevar8x32_epi32(
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at)), d);
            const __m256i high = _mm256_permutevar8x32_epi32(
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + 8)), d);
            return _mm256_blendv_epi8(low, high, _mm256_cmpgt_epi32(d, _mm256_set1_epi32(7)));
        } else {
            return _mm256_i32gather_epi32(base, rel, 4);
        }
    }

    template <Kernel K, int Channels, std::uint32_t Stride, bool PerFrameLevels>
    [[gnu::target("avx2")]] static std::uint32_t Render(const std::uint8_t* samples,
        std::uint64_t& position, std::uint32_t step, std::uint32_t* sums, std::uint32_t frames,
        const std::uint32_t* levels, std::uint32_t level)
    {
        if constexpr (Channels == 2) {
            if (step <= kPitchOne)
                return RenderWith<K, Channels, Stride, PerFrameLevels, Reach::kWindow8>(
                    samples, position, step, sums, frames, levels, level);
            if (step <= 2 * kPitchOne)
                return RenderWith<K, Channels, Stride, PerFrameLevels, Reach::kWindow16>(
                    samples, position, step, sums, frames, levels, level);
        }
        return RenderWith<K, Channels, Stride, PerFrameLevels, Reach::kGather>(
            samples, position, step, sums, frames, levels, level);
    }

    template <Kernel K, int Channels, std::uint32_t Stride, bool PerFrameLevels, Reach R>
    [[gnu::target("avx2")]] static std::uint32_t RenderWith(const std::uint8_t* samples,
        std::uint64_t& position, std::uint32_t step, std::uint32_t* sums, std::uint32_t frames,
        const std::uint32_t* levels, std::uint32_t level)
    {
        const std::uint32_t eights = frames / 8;
        if (eights == 0)
            return 0;
        // Lane j: frame j's index relative to frame 0's, and its fraction.
        const std::uint64_t first = position >> 24;
        const auto* base = reinterpret_cast<const int*>(samples + first * (Channels * 2));
        alignas(32) std::uint32_t lanes[2][8];
        for (std::uint32_t j = 0; j < 8; ++j) {
            const std::uint64_t p = position + std::uint64_t { j } * step;
            lanes[0][j] = static_cast<std::uint32_t>((p >> 24) - first);
            lanes[1][j] = static_cast<std::uint32_t>(p) & kFractionMask;
        }
        __m256i rel = _mm256_load_si256(reinterpret_cast<const __m256i*>(lanes[0]));
        __m256i fraction = _mm256_load_si256(reinterpret_cast<const __m256i*>(lanes[1]));
        // Eight steps: whole frames and a fraction, so that every lane moves on
        // by exactly 8 x step without leaving 32 bits.
        const std::uint64_t jump = std::uint64_t { step } * 8;
        const __m256i jumpFraction
            = _mm256_set1_epi32(static_cast<std::int32_t>(jump & kFractionMask));
        const __m256i jumpFrames = _mm256_set1_epi32(static_cast<std::int32_t>(jump >> 24));
        const __m256i mask = _mm256_set1_epi32(static_cast<std::int32_t>(kFractionMask));
        const __m256i flat = _mm256_set1_epi32(static_cast<std::int32_t>(level));
        for (std::uint32_t e = 0; e < eights; ++e, sums += 8) {
            const __m256i l = PerFrameLevels
                ? _mm256_loadu_si256(reinterpret_cast<const __m256i*>(levels + 8 * e))
                : flat;
            if constexpr (Channels == 1) {
                // One 32-bit read per frame: its sample low, the next one high.
                const __m256i pair = _mm256_i32gather_epi32(base, rel, 2);
                __m256i value = Low16(pair);
                if constexpr (K == Kernel::kLinear)
                    value = Linear(value, High16(pair), fraction);
                auto* out = reinterpret_cast<__m256i*>(sums);
                _mm256_storeu_si256(
                    out, _mm256_add_epi32(_mm256_loadu_si256(out), _mm256_mullo_epi32(value, l)));
            } else {
                // One 32-bit word per frame: left low, right high.
                const auto firstLane
                    = static_cast<std::int32_t>(((position + jump * e) >> 24) - first);
                const __m256i d = _mm256_sub_epi32(rel, _mm256_set1_epi32(firstLane));
                const int* at = base + firstLane;
                const __m256i frame = Frames<R>(base, at, d, rel);
                __m256i left = Low16(frame);
                __m256i right = High16(frame);
                if constexpr (K == Kernel::kLinear) {
                    const __m256i next = Frames<R>(base + 1, at + 1, d, rel);
                    left = Linear(left, Low16(next), fraction);
                    right = Linear(right, High16(next), fraction);
                }
                auto* outLeft = reinterpret_cast<__m256i*>(sums);
                auto* outRight = reinterpret_cast<__m256i*>(sums + Stride);
                _mm256_storeu_si256(outLeft,
                    _mm256_add_epi32(_mm256_loadu_si256(outLeft), _mm256_mullo_epi32(left, l)));
                _mm256_storeu_si256(outRight,
                    _mm256_add_epi32(_mm256_loadu_si256(outRight), _mm256_mullo_epi32(right, l)));
            }
            const __m256i t = _mm256_add_epi32(fraction, jumpFraction);
            rel = _mm256_add_epi32(rel, _mm256_add_epi32(jumpFrames, _mm256_srli_epi32(t, 24)));
            fraction = _mm256_and_si256(t, mask);
        }
        position += jump * eights;
        return eights * 8;
    }
};

} // namespace vellisto::engine

#endif
