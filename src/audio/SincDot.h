// SPDX-License-Identifier: MIT
#pragma once

// Dot products of a row of sinc tap weights (SincWeights.h) with the samples
// under the taps, for the fast loops of conversion and mixing, in three
// instruction sets. Each gives, per channel, the 32-bit wrapping sum of
// weight x sample over the taps: products of two 16-bit values are exact in
// 32 bits, and wrapping sums may be formed in any order, so every variant
// equals the tap-by-tap reference bit for bit.
//
// `taps` points at the first tap's frame: Channels interleaved samples per
// frame, 16-bit little-endian or 8-bit signed (Bits). Exactly Taps frames are
// read, as the reference kernels read them.
//
// DotEitherWay (Avx2 and Avx512, 16-bit samples, Taps a multiple of 32) reads
// the row as stored (reversed 0) or back to front (reversed 1), tap t then
// taking weights[Taps - 1 - t]:
// the mixer reads only the first half of a sinc weight table that way
// (SincWeights.h). The direction is data, not a branch, since a voice's
// phases fall on either half at random: the weights are loaded in chunks from
// one end or the other and put in order by a shuffle whose control is chosen
// by the direction.
//
// The Avx2 variant carries the target attribute: it may only run where
// Supports(VectorIsa::kAvx2), and is inlined only into functions that carry
// the same attribute. Callers therefore write their per-frame loop once as an
// always-inline template on the variant and give the Avx2 instance's entry
// function the attribute, so that the whole loop is compiled for it.

#include "audio/Acceleration.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
#define VEL_HAVE_X86_VECTORS 1
#else
#define VEL_HAVE_X86_VECTORS 0
#endif

namespace vellisto::audio::simd {

// Sample s of the block as a signed value.
template <int Bits> inline std::int32_t Sample(const std::uint8_t* block, int s)
{
    if constexpr (Bits == 8) {
        return static_cast<std::int8_t>(block[s]);
    } else {
        std::int16_t v;
        std::memcpy(&v, block + 2 * s, sizeof v);
        return v;
    }
}

// Plain C++: any processor.
struct Portable {
    static constexpr VectorIsa kIsa = VectorIsa::kPortable;

    template <int Taps, int Channels, int Bits>
    static void Dot(
        const std::int16_t* weights, const std::uint8_t* taps, std::uint32_t (&sum)[Channels])
    {
        for (int c = 0; c < Channels; ++c)
            sum[c] = 0;
        for (int t = 0; t < Taps; ++t) {
            const auto w = static_cast<std::uint32_t>(weights[t]);
            for (int c = 0; c < Channels; ++c)
                sum[c] += w * static_cast<std::uint32_t>(Sample<Bits>(taps, t * Channels + c));
        }
    }
};

#if VEL_HAVE_X86_VECTORS

// madd multiplies signed 16-bit pairs and adds each pair into a 32-bit lane.
// Its one overflowing case (-32768 x -32768 twice) gives 0x80000000, which is
// the true sum modulo 2^32, so it wraps exactly like the reference.
struct Sse2 {
    static constexpr VectorIsa kIsa = VectorIsa::kSse2;

    static std::uint32_t Total(__m128i v)
    {
        v = _mm_add_epi32(v, _mm_shuffle_epi32(v, 0x4E));
        v = _mm_add_epi32(v, _mm_shuffle_epi32(v, 0xB1));
        return static_cast<std::uint32_t>(_mm_cvtsi128_si32(v));
    }

    // Eight 16-bit samples from p: 8 of them as stored, or 8 bytes sign-extended.
    template <int Bits> static __m128i Load8(const std::uint8_t* p)
    {
        if constexpr (Bits == 8) {
            const __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
            return _mm_srai_epi16(_mm_unpacklo_epi8(bytes, bytes), 8);
        } else {
            return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        }
    }

    template <int Taps, int Channels, int Bits>
    static void Dot(
        const std::int16_t* weights, const std::uint8_t* taps, std::uint32_t (&sum)[Channels])
    {
        static_assert(Taps % 8 == 0);
        constexpr int kFrameBytes = Channels * Bits / 8;
        if constexpr (Channels == 1) {
            __m128i acc = _mm_setzero_si128();
            for (int t = 0; t < Taps; t += 8) {
                const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights + t));
                acc = _mm_add_epi32(acc, _mm_madd_epi16(Load8<Bits>(taps + t * kFrameBytes), w));
            }
            sum[0] = Total(acc);
        } else {
            // A lane holds a frame (left low, right high); the weight of the
            // frame sits in the low half of its lane, zero above it, so madd
            // with the lane gives left x w, and with the lane shifted down
            // right x w.
            const __m128i zero = _mm_setzero_si128();
            __m128i left = zero;
            __m128i right = zero;
            for (int t = 0; t < Taps; t += 8) {
                const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights + t));
                const __m128i w0 = _mm_unpacklo_epi16(w, zero);
                const __m128i w1 = _mm_unpackhi_epi16(w, zero);
                const __m128i s0 = Load8<Bits>(taps + t * kFrameBytes);
                const __m128i s1 = Load8<Bits>(taps + (t + 4) * kFrameBytes);
                left = _mm_add_epi32(left, _mm_madd_epi16(s0, w0));
                left = _mm_add_epi32(left, _mm_madd_epi16(s1, w1));
                right = _mm_add_epi32(right, _mm_madd_epi16(_mm_srli_epi32(s0, 16), w0));
                right = _mm_add_epi32(right, _mm_madd_epi16(_mm_srli_epi32(s1, 16), w1));
            }
            sum[0] = Total(left);
            sum[1] = Total(right);
        }
    }
};

struct Avx2 {
    static constexpr VectorIsa kIsa = VectorIsa::kAvx2;

    [[gnu::target("avx2")]] static std::uint32_t Total(__m256i v)
    {
        return Sse2::Total(
            _mm_add_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1)));
    }

    // Sixteen 16-bit samples from p: 16 as stored, or 16 bytes sign-extended.
    template <int Bits> [[gnu::target("avx2")]] static __m256i Load16(const std::uint8_t* p)
    {
        if constexpr (Bits == 8)
            return _mm256_cvtepi8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
        else
            return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    }

    template <int Taps, int Channels, int Bits>
    [[gnu::target("avx2")]] static void Dot(
        const std::int16_t* weights, const std::uint8_t* taps, std::uint32_t (&sum)[Channels])
    {
        static_assert(Taps % 16 == 0);
        constexpr int kFrameBytes = Channels * Bits / 8;
        if constexpr (Channels == 1) {
            __m256i acc = _mm256_setzero_si256();
            for (int t = 0; t < Taps; t += 16) {
                const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weights + t));
                acc = _mm256_add_epi32(
                    acc, _mm256_madd_epi16(Load16<Bits>(taps + t * kFrameBytes), w));
            }
            sum[0] = Total(acc);
        } else {
            // As in Sse2: each frame's weight zero-extended into its lane.
            __m256i left = _mm256_setzero_si256();
            __m256i right = _mm256_setzero_si256();
            for (int t = 0; t < Taps; t += 8) {
                const __m256i w = _mm256_cvtepu16_epi32(
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights + t)));
                const __m256i s = Load16<Bits>(taps + t * kFrameBytes);
                left = _mm256_add_epi32(left, _mm256_madd_epi16(s, w));
                right = _mm256_add_epi32(right, _mm256_madd_epi16(_mm256_srli_epi32(s, 16), w));
            }
            sum[0] = Total(left);
            sum[1] = Total(right);
        }
    }

    // Shuffle controls of DotEitherWay, [reversed]. Mono: the order of the
    // eight 32-bit pairs of a 16-weight chunk, and of the two weights within
    // each pair. Stereo: eight weights (the same 16 bytes in both halves)
    // spread to the low halves of 32-bit lanes, zero above: the first four
    // into the low half of the vector, the last four into the high half; back
    // to front, the last four first, each four reversed.
    alignas(32) static constexpr std::int32_t kPairOrder[2][8]
        = { { 0, 1, 2, 3, 4, 5, 6, 7 }, { 7, 6, 5, 4, 3, 2, 1, 0 } };
    alignas(32) static constexpr std::int8_t kWithinPair[2][32]
        = { { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9,
                10, 11, 12, 13, 14, 15 },
              { 2, 3, 0, 1, 6, 7, 4, 5, 10, 11, 8, 9, 14, 15, 12, 13, 2, 3, 0, 1, 6, 7, 4, 5, 10,
                  11, 8, 9, 14, 15, 12, 13 } };
    static constexpr std::int8_t kZ = -128; // a shuffle control byte that gives 0
    alignas(32) static constexpr std::int8_t kSpread[2][32]
        = { { 0, 1, kZ, kZ, 2, 3, kZ, kZ, 4, 5, kZ, kZ, 6, 7, kZ, kZ, 8, 9, kZ, kZ, 10, 11, kZ, kZ,
                12, 13, kZ, kZ, 14, 15, kZ, kZ },
              { 14, 15, kZ, kZ, 12, 13, kZ, kZ, 10, 11, kZ, kZ, 8, 9, kZ, kZ, 6, 7, kZ, kZ, 4, 5,
                  kZ, kZ, 2, 3, kZ, kZ, 0, 1, kZ, kZ } };

    template <int Taps, int Channels>
    [[gnu::target("avx2")]] static void DotEitherWay(const std::int16_t* weights,
        std::uint32_t reversed, const std::uint8_t* taps, std::uint32_t (&sum)[Channels])
    {
        static_assert(Taps % 32 == 0);
        const auto way = static_cast<std::ptrdiff_t>(reversed);
        if constexpr (Channels == 1) {
            // Chunk c of the taps is chunk Taps / 16 - 1 - c of the row reversed.
            constexpr int kChunk = 16;
            const std::int16_t* chunk = weights + way * (Taps - kChunk);
            const std::ptrdiff_t step = kChunk - way * (2 * kChunk);
            const __m256i pairs
                = _mm256_load_si256(reinterpret_cast<const __m256i*>(kPairOrder[way]));
            const __m256i within
                = _mm256_load_si256(reinterpret_cast<const __m256i*>(kWithinPair[way]));
            __m256i acc = _mm256_setzero_si256();
            for (int t = 0; t < Taps; t += kChunk, chunk += step) {
                const __m256i w = _mm256_shuffle_epi8(
                    _mm256_permutevar8x32_epi32(
                        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(chunk)), pairs),
                    within);
                acc = _mm256_add_epi32(acc, _mm256_madd_epi16(Load16<16>(taps + t * 2), w));
            }
            sum[0] = Total(acc);
        } else {
            // Eight taps at a time, as in Dot: each frame's weight in the low
            // half of its lane.
            constexpr int kChunk = 8;
            const std::int16_t* chunk = weights + way * (Taps - kChunk);
            const std::ptrdiff_t step = kChunk - way * (2 * kChunk);
            const __m256i spread
                = _mm256_load_si256(reinterpret_cast<const __m256i*>(kSpread[way]));
            __m256i left = _mm256_setzero_si256();
            __m256i right = _mm256_setzero_si256();
            for (int t = 0; t < Taps; t += kChunk, chunk += step) {
                const __m256i w = _mm256_shuffle_epi8(_mm256_broadcastsi128_si256(_mm_loadu_si128(
                                                          reinterpret_cast<const __m128i*>(chunk))),
                    spread);
                const __m256i s = Load16<16>(taps + t * 4);
                left = _mm256_add_epi32(left, _mm256_madd_epi16(s, w));
                right = _mm256_add_epi32(right, _mm256_madd_epi16(_mm256_srli_epi32(s, 16), w));
            }
            sum[0] = Total(left);
            sum[1] = Total(right);
        }
    }
};

// 32 taps of a mono channel, or 16 stereo frames, per step; the 16-tap
// kernel fits the 256-bit form. The zero-masking forms of the widening and
// shifting instructions (all lanes selected) are the plain forms; they spare
// GCC's headers a spurious warning about their undefined source vector.
struct Avx512 {
    static constexpr VectorIsa kIsa = VectorIsa::kAvx512;
    static constexpr __mmask16 kAllLanes16 = 0xFFFF;
    static constexpr __mmask32 kAllLanes32 = 0xFFFFFFFF;

    [[gnu::target("avx2,avx512f,avx512bw")]] static std::uint32_t Total(__m512i v)
    {
        return Avx2::Total(_mm256_add_epi32(_mm512_maskz_extracti64x4_epi64(0xFF, v, 0),
            _mm512_maskz_extracti64x4_epi64(0xFF, v, 1)));
    }

    // Thirty-two 16-bit samples from p: 32 as stored, or 32 bytes sign-extended.
    template <int Bits>
    [[gnu::target("avx2,avx512f,avx512bw")]] static __m512i Load32(const std::uint8_t* p)
    {
        if constexpr (Bits == 8)
            return _mm512_maskz_cvtepi8_epi16(
                kAllLanes32, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)));
        else
            return _mm512_loadu_si512(p);
    }

    template <int Taps, int Channels, int Bits>
    [[gnu::target("avx2,avx512f,avx512bw")]] static void Dot(
        const std::int16_t* weights, const std::uint8_t* taps, std::uint32_t (&sum)[Channels])
    {
        constexpr int kFrameBytes = Channels * Bits / 8;
        if constexpr (Taps % 32 != 0) {
            Avx2::Dot<Taps, Channels, Bits>(weights, taps, sum);
        } else if constexpr (Channels == 1) {
            __m512i acc = _mm512_setzero_si512();
            for (int t = 0; t < Taps; t += 32) {
                const __m512i w = _mm512_loadu_si512(weights + t);
                acc = _mm512_add_epi32(
                    acc, _mm512_madd_epi16(Load32<Bits>(taps + t * kFrameBytes), w));
            }
            sum[0] = Total(acc);
        } else {
            // As in Sse2: each frame's weight zero-extended into its lane.
            __m512i left = _mm512_setzero_si512();
            __m512i right = _mm512_setzero_si512();
            for (int t = 0; t < Taps; t += 16) {
                const __m512i w = _mm512_maskz_cvtepu16_epi32(
                    kAllLanes16, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weights + t)));
                const __m512i s = Load32<Bits>(taps + t * kFrameBytes);
                left = _mm512_add_epi32(left, _mm512_madd_epi16(s, w));
                right = _mm512_add_epi32(
                    right, _mm512_madd_epi16(_mm512_maskz_srli_epi32(kAllLanes16, s, 16), w));
            }
            sum[0] = Total(left);
            sum[1] = Total(right);
        }
    }
    // Shuffle controls of DotEitherWay, [reversed], over a chunk of 32
    // weights. Mono: the weights in order or back to front. Stereo: the first
    // (kFirstHalf) or the second 16 taps' weights into the low halves of the
    // 32-bit lanes (the high halves are zeroed by the mask).
    alignas(64) static constexpr std::int16_t kOrder[2][32] = {
        { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24,
            25, 26, 27, 28, 29, 30, 31 },
        { 31, 30, 29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 9,
            8, 7, 6, 5, 4, 3, 2, 1, 0 },
    };
    alignas(64) static constexpr std::int16_t kFirstHalf[2][32] = {
        { 0, 0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7, 0, 8, 0, 9, 0, 10, 0, 11, 0, 12, 0, 13, 0,
            14, 0, 15, 0 },
        { 31, 0, 30, 0, 29, 0, 28, 0, 27, 0, 26, 0, 25, 0, 24, 0, 23, 0, 22, 0, 21, 0, 20, 0, 19, 0,
            18, 0, 17, 0, 16, 0 },
    };
    alignas(64) static constexpr std::int16_t kSecondHalf[2][32] = {
        { 16, 0, 17, 0, 18, 0, 19, 0, 20, 0, 21, 0, 22, 0, 23, 0, 24, 0, 25, 0, 26, 0, 27, 0, 28, 0,
            29, 0, 30, 0, 31, 0 },
        { 15, 0, 14, 0, 13, 0, 12, 0, 11, 0, 10, 0, 9, 0, 8, 0, 7, 0, 6, 0, 5, 0, 4, 0, 3, 0, 2, 0,
            1, 0, 0, 0 },
    };
    static constexpr __mmask32 kLowHalves = 0x55555555;

    template <int Taps, int Channels>
    [[gnu::target("avx2,avx512f,avx512bw")]] static void DotEitherWay(const std::int16_t* weights,
        std::uint32_t reversed, const std::uint8_t* taps, std::uint32_t (&sum)[Channels])
    {
        static_assert(Taps % 32 == 0);
        constexpr int kChunk = 32;
        const auto way = static_cast<std::ptrdiff_t>(reversed);
        // Chunk c of the taps is chunk Taps / 32 - 1 - c of the row reversed.
        const std::int16_t* chunk = weights + way * (Taps - kChunk);
        const std::ptrdiff_t step = kChunk - way * (2 * kChunk);
        if constexpr (Channels == 1) {
            const __m512i order = _mm512_load_si512(kOrder[way]);
            __m512i acc = _mm512_setzero_si512();
            for (int t = 0; t < Taps; t += kChunk, chunk += step) {
                const __m512i w = _mm512_permutexvar_epi16(order, _mm512_loadu_si512(chunk));
                acc = _mm512_add_epi32(acc, _mm512_madd_epi16(Load32<16>(taps + t * 2), w));
            }
            sum[0] = Total(acc);
        } else {
            const __m512i first = _mm512_load_si512(kFirstHalf[way]);
            const __m512i second = _mm512_load_si512(kSecondHalf[way]);
            __m512i left = _mm512_setzero_si512();
            __m512i right = _mm512_setzero_si512();
            for (int t = 0; t < Taps; t += kChunk, chunk += step) {
                const __m512i row = _mm512_loadu_si512(chunk);
                const __m512i w0 = _mm512_maskz_permutexvar_epi16(kLowHalves, first, row);
                const __m512i w1 = _mm512_maskz_permutexvar_epi16(kLowHalves, second, row);
                const __m512i s0 = Load32<16>(taps + t * 4);
                const __m512i s1 = Load32<16>(taps + (t + 16) * 4);
                left = _mm512_add_epi32(left, _mm512_madd_epi16(s0, w0));
                left = _mm512_add_epi32(left, _mm512_madd_epi16(s1, w1));
                right = _mm512_add_epi32(
                    right, _mm512_madd_epi16(_mm512_maskz_srli_epi32(kAllLanes16, s0, 16), w0));
                right = _mm512_add_epi32(
                    right, _mm512_madd_epi16(_mm512_maskz_srli_epi32(kAllLanes16, s1, 16), w1));
            }
            sum[0] = Total(left);
            sum[1] = Total(right);
        }
    }
};

#endif

} // namespace vellisto::audio::simd
