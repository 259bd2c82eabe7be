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
};

#endif

} // namespace vellisto::audio::simd
