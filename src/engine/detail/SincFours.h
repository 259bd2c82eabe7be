// SPDX-License-Identifier: MIT
#pragma once

// The sinc kernel sums of four frames at once, for the fast mixing loops,
// with 256-bit (Avx2) or 512-bit (Avx512) vectors. Each frame has its own
// weight row, read as stored or back to front (see DotEitherWay in
// audio/SincDot.h), and its own taps: 16-bit samples, 1 or 2 channels.
// Every product of two 16-bit values is exact in 32 bits and every sum wraps
// at 32 bits, so the sums equal the tap-by-tap sums in any order.
//
// Summing a frame's lanes one frame at a time costs about as much as its
// products; four frames' lane sums are instead added up together, across
// the four vectors at once, and come out as one vector per channel with frame
// f in lane f.
//
// Stereo samples are split per 128-bit half into four left and four right
// samples, and each half's four weights are given twice, so that one
// multiply-add takes both channels: lanes [l l r r] per half.
//
// Like audio/SincDot.h, every function carries its target attribute and is
// inlined only into functions compiled for the same instructions.

#include "audio/SincDot.h"
#include "audio/SincTables.h"
#include "audio/SincWeights.h"

#include <cstddef>
#include <cstdint>

#if VEL_HAVE_X86_VECTORS

namespace vellisto::engine::sinc {

// What the four frames read: frame f's weight row, whether it is read back
// to front (1) or not (0), and its first tap's frame.
struct FourFrames {
    const std::int16_t* rows[4];
    std::uint32_t reversed[4];
    const std::uint8_t* taps[4];
};

// A weight row with tap 0 (the frame at the position) at 16384 and every
// other tap at 0. A whole-frame position (phase 0) is the sample itself; this
// row gives it as sample x 16384, which the kernel's division by 16384 takes
// off again exactly, so that such a frame needs no path of its own.
template <int Taps> struct UnitRow {
    alignas(64) std::int16_t weights[Taps] = {};
    constexpr UnitRow() { weights[Taps / 2 - 1] = 16384; }
};
inline constexpr UnitRow<audio::kLowResTaps> kLowResUnitRow {};
inline constexpr UnitRow<audio::kHighResTaps> kHighResUnitRow {};
// The same for the paired low-resolution rows (audio/SincWeights.h).
struct PairedUnitRow {
    alignas(64) std::int16_t weights[2 * audio::kLowResTaps] = {};
    constexpr PairedUnitRow()
    {
        for (int k = 0; k < 2 * audio::kLowResTaps; ++k)
            weights[k] = kLowResUnitRow.weights[audio::PairedLowResTap(k)];
    }
};
inline constexpr PairedUnitRow kLowResPairedUnitRow {};

// Sets frame i of f to the kernel at frame `index`, fraction `fraction` of
// the samples: "Use sinc" (Low false) from the first half of its table, read
// either way; the low resolution from its whole table as stored, its paired
// table for stereo.
template <bool Low, int Channels>
[[gnu::always_inline]] inline void SetFrame(FourFrames& f, int i,
    const audio::SincWeightTables& tables, const std::uint8_t* samples, std::uint32_t index,
    std::uint32_t fraction)
{
    constexpr int kTaps = Low ? audio::kLowResTaps : audio::kHighResTaps;
    const std::uint32_t phi = fraction >> (Low ? 12 : 8);
    f.taps[i] = samples + (std::ptrdiff_t { index } - (kTaps / 2 - 1)) * (Channels * 2);
    if constexpr (Low) {
        f.rows[i] = Channels == 2 ? tables.lowResPairedRow(phi) : tables.lowResRow(phi);
        f.reversed[i] = 0;
    } else {
        const audio::MirroredRow m = audio::FromFirstHalf<audio::kHighResSincPeriod>(phi);
        f.rows[i] = tables.highResRow(m.row);
        f.reversed[i] = m.reversed;
    }
    if (phi == 0) [[unlikely]]
        f.rows[i] = !Low ? kHighResUnitRow.weights
                         : (Channels == 2 ? kLowResPairedUnitRow.weights : kLowResUnitRow.weights);
}

struct Avx2Fours {
    // Four stereo frames per half as four left then four right samples.
    alignas(32) static constexpr std::int8_t kSplit[32] = { 0, 1, 4, 5, 8, 9, 12, 13, 2, 3, 6, 7,
        10, 11, 14, 15, 0, 1, 4, 5, 8, 9, 12, 13, 2, 3, 6, 7, 10, 11, 14, 15 };
    // Eight weights (the same 16 bytes in both halves) for split samples:
    // w0..w3 twice in the low half, w4..w7 twice in the high half; back to
    // front w7..w4 twice, then w3..w0 twice.
    alignas(32) static constexpr std::int8_t kTwice[2][32]
        = { { 0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 8, 9,
                10, 11, 12, 13, 14, 15 },
              { 14, 15, 12, 13, 10, 11, 8, 9, 14, 15, 12, 13, 10, 11, 8, 9, 6, 7, 4, 5, 2, 3, 0, 1,
                  6, 7, 4, 5, 2, 3, 0, 1 } };

    // One frame's products, summed into the lanes of a vector: for mono any
    // lanes, for stereo [l l r r | l l r r]. Without EitherWay the rows are
    // read as stored; mono rows always are.
    // The low resolution's stereo frame from its paired row: 16 bytes of
    // the row weigh the four left and then the four right samples of a
    // 128-bit half of split samples.
    [[gnu::target("avx2")]] static __m256i PartialPaired(
        const std::int16_t* paired, const std::uint8_t* taps)
    {
        const __m256i split = _mm256_load_si256(reinterpret_cast<const __m256i*>(kSplit));
        __m256i acc = _mm256_setzero_si256();
        for (int t = 0; t < audio::kLowResTaps; t += 8) {
            const __m256i s = _mm256_shuffle_epi8(
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(taps + t * 4)), split);
            acc = _mm256_add_epi32(acc,
                _mm256_madd_epi16(
                    s, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(paired + 2 * t))));
        }
        return acc;
    }

    template <int Taps, int Channels, bool EitherWay>
    [[gnu::target("avx2")]] static __m256i Partial(
        const std::int16_t* weights, std::uint32_t reversed, const std::uint8_t* taps)
    {
        if constexpr (Taps == audio::kLowResTaps && Channels == 2) {
            return PartialPaired(weights, taps);
        } else {
            const auto way = EitherWay ? static_cast<std::ptrdiff_t>(reversed) : 0;
            constexpr int kChunk = Channels == 1 ? 16 : 8;
            static_assert(Taps % kChunk == 0);
            // Chunk c of the taps is, back to front, chunk Taps / kChunk - 1 - c.
            const std::int16_t* chunk = weights + way * (Taps - kChunk);
            const std::ptrdiff_t step = kChunk - way * (2 * kChunk);
            __m256i acc = _mm256_setzero_si256();
            if constexpr (Channels == 1) {
                static_assert(!EitherWay, "mono \"Use sinc\" goes one frame at a time");
                for (int t = 0; t < Taps; t += kChunk, chunk += step) {
                    const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(chunk));
                    const __m256i s
                        = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(taps + t * 2));
                    acc = _mm256_add_epi32(acc, _mm256_madd_epi16(s, w));
                }
            } else {
                const __m256i twice
                    = _mm256_load_si256(reinterpret_cast<const __m256i*>(kTwice[way]));
                const __m256i split = _mm256_load_si256(reinterpret_cast<const __m256i*>(kSplit));
                for (int t = 0; t < Taps; t += kChunk, chunk += step) {
                    const __m256i w = _mm256_shuffle_epi8(
                        _mm256_broadcastsi128_si256(
                            _mm_loadu_si128(reinterpret_cast<const __m128i*>(chunk))),
                        twice);
                    const __m256i s = _mm256_shuffle_epi8(
                        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(taps + t * 4)), split);
                    acc = _mm256_add_epi32(acc, _mm256_madd_epi16(s, w));
                }
            }
            return acc;
        }
    }

    // Adds up four frames' partial vectors: sums[c] lane f is frame f's sum
    // of channel c.
    template <int Channels>
    [[gnu::target("avx2")]] static void AddUp(const __m256i (&p)[4], __m128i (&sums)[Channels])
    {
        const __m256i h01 = _mm256_hadd_epi32(p[0], p[1]);
        const __m256i h23 = _mm256_hadd_epi32(p[2], p[3]);
        if constexpr (Channels == 1) {
            // [f0 f1 f2 f3 | f0 f1 f2 f3], each half from one half of the frames' lanes.
            const __m256i h = _mm256_hadd_epi32(h01, h23);
            sums[0] = _mm_add_epi32(_mm256_castsi256_si128(h), _mm256_extracti128_si256(h, 1));
        } else {
            // h01: [l0 r0 l1 r1 | l0 r0 l1 r1] from the two halves; adding
            // the halves of h01 and h23 gives [l0 r0 l1 r1 | l2 r2 l3 r3].
            const __m256i t = _mm256_add_epi32(_mm256_permute2x128_si256(h01, h23, 0x20),
                _mm256_permute2x128_si256(h01, h23, 0x31));
            const __m256i lr
                = _mm256_permutevar8x32_epi32(t, _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7));
            sums[0] = _mm256_castsi256_si128(lr);
            sums[1] = _mm256_extracti128_si256(lr, 1);
        }
    }

    // Adds the four frames' values (the sums / 16384, truncated toward zero,
    // as the one-frame kernels form them) times their levels, 32-bit
    // products and sums that wrap, to out[c x stride + f]: the levels
    // levels[f], or one level for all four.
    template <int Channels>
    [[gnu::target("avx2")]] static void AddScaled(const __m128i (&sums)[Channels],
        const std::uint32_t* levels, std::uint32_t* out, std::size_t stride)
    {
        AddScaledBy<Channels>(
            sums, _mm_loadu_si128(reinterpret_cast<const __m128i*>(levels)), out, stride);
    }
    template <int Channels>
    [[gnu::target("avx2")]] static void AddScaled(const __m128i (&sums)[Channels],
        std::uint32_t level, std::uint32_t* out, std::size_t stride)
    {
        AddScaledBy<Channels>(sums, _mm_set1_epi32(static_cast<std::int32_t>(level)), out, stride);
    }
    template <int Channels>
    [[gnu::target("avx2")]] static void AddScaledBy(
        const __m128i (&sums)[Channels], __m128i levels, std::uint32_t* out, std::size_t stride)
    {
        for (int c = 0; c < Channels; ++c) {
            // Negative sums add 16383 before the shift, which then truncates toward zero.
            const __m128i bias = _mm_srli_epi32(_mm_srai_epi32(sums[c], 31), 18);
            const __m128i quotient = _mm_srai_epi32(_mm_add_epi32(sums[c], bias), 14);
            auto* o = reinterpret_cast<__m128i*>(out + c * stride);
            _mm_storeu_si128(
                o, _mm_add_epi32(_mm_loadu_si128(o), _mm_mullo_epi32(quotient, levels)));
        }
    }

    template <int Taps, int Channels, bool EitherWay>
    [[gnu::target("avx2")]] static void Sums(const FourFrames& f, __m128i (&sums)[Channels])
    {
        __m256i p[4];
        for (int i = 0; i < 4; ++i)
            p[i] = Partial<Taps, Channels, EitherWay>(f.rows[i], f.reversed[i], f.taps[i]);
        AddUp<Channels>(p, sums);
    }
};

// "Use sinc" stereo only: mono "Use sinc" goes one frame at a time, and the
// low resolution gains nothing from 512 bits and runs the 256-bit loop
// (Avx2Fours) on every processor that has either.
struct Avx512Fours {
    // A stereo chunk of 32 weights for split samples: the first sixteen
    // (kTwiceFirst) or the last sixteen, four to each 128-bit quarter, each
    // four twice; back to front, weight 31 - t in place of weight t.
    alignas(64) static constexpr std::int16_t kTwiceFirst[2][32] = {
        { 0, 1, 2, 3, 0, 1, 2, 3, 4, 5, 6, 7, 4, 5, 6, 7, 8, 9, 10, 11, 8, 9, 10, 11, 12, 13, 14,
            15, 12, 13, 14, 15 },
        { 31, 30, 29, 28, 31, 30, 29, 28, 27, 26, 25, 24, 27, 26, 25, 24, 23, 22, 21, 20, 23, 22,
            21, 20, 19, 18, 17, 16, 19, 18, 17, 16 },
    };
    alignas(64) static constexpr std::int16_t kTwiceSecond[2][32] = {
        { 16, 17, 18, 19, 16, 17, 18, 19, 20, 21, 22, 23, 20, 21, 22, 23, 24, 25, 26, 27, 24, 25,
            26, 27, 28, 29, 30, 31, 28, 29, 30, 31 },
        { 15, 14, 13, 12, 15, 14, 13, 12, 11, 10, 9, 8, 11, 10, 9, 8, 7, 6, 5, 4, 7, 6, 5, 4, 3, 2,
            1, 0, 3, 2, 1, 0 },
    };

    template <int Taps, int Channels, bool EitherWay>
    [[gnu::target("avx2,avx512f,avx512bw")]] static __m512i Partial(
        const std::int16_t* weights, std::uint32_t reversed, const std::uint8_t* taps)
    {
        constexpr int kChunk = 32;
        static_assert(Taps % kChunk == 0 && Channels == 2);
        const auto way = EitherWay ? static_cast<std::ptrdiff_t>(reversed) : 0;
        const std::int16_t* chunk = weights + way * (Taps - kChunk);
        const std::ptrdiff_t step = kChunk - way * (2 * kChunk);
        __m512i acc = _mm512_setzero_si512();
        const __m512i first = _mm512_load_si512(kTwiceFirst[way]);
        const __m512i second = _mm512_load_si512(kTwiceSecond[way]);
        const __m512i split = _mm512_maskz_broadcast_i32x4(
            0xFFFF, _mm_load_si128(reinterpret_cast<const __m128i*>(Avx2Fours::kSplit)));
        for (int t = 0; t < Taps; t += kChunk, chunk += step) {
            const __m512i row = _mm512_loadu_si512(chunk);
            const __m512i w0 = _mm512_permutexvar_epi16(first, row);
            const __m512i w1 = _mm512_permutexvar_epi16(second, row);
            const __m512i s0 = _mm512_shuffle_epi8(_mm512_loadu_si512(taps + t * 4), split);
            const __m512i s1 = _mm512_shuffle_epi8(_mm512_loadu_si512(taps + (t + 16) * 4), split);
            acc = _mm512_add_epi32(acc, _mm512_madd_epi16(s0, w0));
            acc = _mm512_add_epi32(acc, _mm512_madd_epi16(s1, w1));
        }
        return acc;
    }

    template <int Taps, int Channels, bool EitherWay>
    [[gnu::target("avx2,avx512f,avx512bw")]] static void Sums(
        const FourFrames& f, __m128i (&sums)[Channels])
    {
        // The two 256-bit halves of each frame's vector added, then as with 256 bits.
        __m256i p[4];
        for (int i = 0; i < 4; ++i) {
            const __m512i v
                = Partial<Taps, Channels, EitherWay>(f.rows[i], f.reversed[i], f.taps[i]);
            p[i] = _mm256_add_epi32(_mm512_maskz_extracti64x4_epi64(0xFF, v, 0),
                _mm512_maskz_extracti64x4_epi64(0xFF, v, 1));
        }
        Avx2Fours::AddUp<Channels>(p, sums);
    }
};

// The four-frame sums of an instruction set of audio/SincDot.h.
template <class Isa> struct FoursOf;
template <> struct FoursOf<audio::simd::Avx2> {
    using Type = Avx2Fours;
};
template <> struct FoursOf<audio::simd::Avx512> {
    using Type = Avx512Fours;
};

} // namespace vellisto::engine::sinc

#endif
