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
// Sizes: 65536 rows of 128 weights (16 MiB) and 4096 rows of 16 (128 KiB).
// The tables are built on first use, once, under std::call_once, and are
// read-only afterwards; any thread may read them.

#include <cstddef>
#include <cstdint>

namespace vellisto::audio {

inline constexpr int kLowResTaps = 16;
inline constexpr int kHighResTaps = 128;

struct SincWeightTables {
    const std::int16_t* lowRes = nullptr; // 4096 rows of kLowResTaps, 2 MiB aligned
    const std::int16_t* highRes = nullptr; // 65536 rows of kHighResTaps, 2 MiB aligned

    const std::int16_t* lowResRow(std::uint32_t phi) const
    {
        return lowRes + std::size_t { phi } * kLowResTaps;
    }
    const std::int16_t* highResRow(std::uint32_t phi) const
    {
        return highRes + std::size_t { phi } * kHighResTaps;
    }
};

// Builds the sinc tables (if needed) and both weight tables on the first
// call; null when memory ran out, in which case the callers keep to the
// reference loops.
const SincWeightTables* SincWeights();

} // namespace vellisto::audio
