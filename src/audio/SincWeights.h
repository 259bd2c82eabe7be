// SPDX-License-Identifier: MIT
#pragma once

// The tap weights of the two sinc kernels, worked out once per phase so that
// the fast loops need no division per tap.
//
// Row phi of a table holds, for each tap k from the first (k = 1 - Taps / 2)
// to the last (k = Taps / 2), the weight d / e of the kernel (d the sinc
// table's entry for phi, e = Period x k - phi, truncated toward zero) with the
// sign of its tap folded in: + for odd k, - for even k. A kernel value is then
// the plain 32-bit wrapping sum of weight x sample over the taps, which is the
// same sum in any order. Every weight lies within -3702..16422 (a test checks
// each one against the division), so 16 bits hold them exactly. Row 0 is
// zero: a whole-frame position copies its sample and reads no weights.
//
// Row Period - phi is row phi back to front (the sinc entry d is the same for
// both, and tap k of the one divides by minus the divisor of tap 1 - k of the
// other). A reader of random phases may therefore read only the rows up to
// the middle, each either way (MirroredRow), and keep half the memory in its
// caches.
//
// The low resolution has a second, paired table for two-channel products:
// row phi holds the row's 16 weights as four groups of four (taps 0-3, 4-7,
// 8-11, 12-15), each group twice in a row, so that 16 bytes of it weigh four
// left samples and then the same four frames' right samples (PairedLowRes).
//
// Sizes: 65536 rows of 128 weights (16 MiB), 4096 rows of 16 (128 KiB) and
// 4096 paired rows of 32 (256 KiB). The tables are built on first use, once,
// under std::call_once, and are read-only afterwards; any thread may read
// them.

#include <cstddef>
#include <cstdint>

namespace vellisto::audio {

inline constexpr int kLowResTaps = 16;
inline constexpr int kHighResTaps = 128;

struct SincWeightTables {
    const std::int16_t* lowRes = nullptr; // 4096 rows of kLowResTaps, 2 MiB aligned
    const std::int16_t* highRes = nullptr; // 65536 rows of kHighResTaps, 2 MiB aligned
    const std::int16_t* lowResPaired = nullptr; // 4096 rows of 2 x kLowResTaps, 2 MiB aligned

    const std::int16_t* lowResRow(std::uint32_t phi) const
    {
        return lowRes + std::size_t { phi } * kLowResTaps;
    }
    const std::int16_t* highResRow(std::uint32_t phi) const
    {
        return highRes + std::size_t { phi } * kHighResTaps;
    }
    const std::int16_t* lowResPairedRow(std::uint32_t phi) const
    {
        return lowResPaired + std::size_t { phi } * (2 * kLowResTaps);
    }
};

// Entry k (0 .. 31) of a paired low-resolution row: the weight of tap
// 4 x (k / 8) + k % 4 of the row.
constexpr int PairedLowResTap(int k) { return 4 * (k / 8) + k % 4; }

// Where row phi (0 .. Period - 1) of a table lies in the table's first half:
// the row to read, and whether to read it back to front (1) or not (0).
// Worked out with arithmetic alone: phases fall on either half at random, and
// a branch on the half would be mispredicted every other time.
struct MirroredRow {
    std::uint32_t row;
    std::uint32_t reversed;
};

template <std::uint32_t Period> constexpr MirroredRow FromFirstHalf(std::uint32_t phi)
{
    const std::uint32_t reversed = (Period / 2 - phi) >> 31; // phi past the middle
    return { phi + reversed * (Period - 2 * phi), reversed }; // 32-bit wrap: Period - phi
}

// Builds the sinc tables (if needed) and both weight tables on the first
// call; null when memory ran out, in which case the callers keep to the
// reference loops.
const SincWeightTables* SincWeights();

} // namespace vellisto::audio
