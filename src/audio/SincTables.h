// SPDX-License-Identifier: MIT
#pragma once

// The two sinc tables shared by the loading resampler and the mixing kernels:
// a scaled half period of sin(pi x) with a gain correction that makes the
// weights of the truncated kernels add up to unity at half-sample positions.
// BuildSincTables runs once at start-up, before any thread starts; the tables
// are read-only afterwards and may be read from any thread.

#include <cstddef>
#include <cstdint>

namespace vellisto::audio {

inline constexpr std::size_t kLowResSincEntries = 2049; // period 4096, 16 taps
inline constexpr std::size_t kHighResSincEntries = 32769; // period 65536, 128 taps
inline constexpr std::uint32_t kLowResSincPeriod = 4096;
inline constexpr std::uint32_t kHighResSincPeriod = 65536;

// Fills both tables; later calls do nothing.
void BuildSincTables();

// The tables themselves (entries 0..2048 and 0..32768).
const std::int32_t* LowResSincTable();
const std::int32_t* HighResSincTable();

// Reflected lookups: entry phi for phi below half the period, else period - phi.
inline std::int32_t LowResSinc(std::uint32_t phi)
{
    return LowResSincTable()[phi < kLowResSincPeriod / 2 ? phi : kLowResSincPeriod - phi];
}
inline std::int32_t HighResSinc(std::uint32_t phi)
{
    return HighResSincTable()[phi < kHighResSincPeriod / 2 ? phi : kHighResSincPeriod - phi];
}

} // namespace vellisto::audio
