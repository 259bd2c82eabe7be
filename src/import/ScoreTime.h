// SPDX-License-Identifier: MIT
#pragma once

// Time arithmetic shared by the importers. Both keep their clocks as unsigned
// 64-bit counts of 1/16777216 output frames (an 8.24-style fraction of a
// frame), so that rounding happens once, when an event's frame time is taken.
//
// Scores come from outside and may ask for absurd lengths (huge delta times,
// enormous measure factors). The clocks therefore saturate instead of wrapping,
// and an event time never passes the ceiling of every edited time
// (0x7FFFFFFF), which keeps order and keeps events clear of the sentinel time.

#include "model/Limits.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace vellisto::import {

// Products of 64-bit times and factors are taken in 128 bits.
__extension__ typedef unsigned __int128 Uint128;

using TimeFx24 = std::uint64_t; // 1/16777216 output frames
inline constexpr TimeFx24 kTimeFx24Max = std::numeric_limits<TimeFx24>::max();

inline TimeFx24 SaturatingAdd(TimeFx24 a, TimeFx24 b)
{
    return a > kTimeFx24Max - b ? kTimeFx24Max : a + b;
}

inline TimeFx24 SaturatingMul(std::uint64_t a, std::uint64_t b)
{
    const Uint128 product = static_cast<Uint128>(a) * b;
    return product > kTimeFx24Max ? kTimeFx24Max : static_cast<TimeFx24>(product);
}

// The whole frame at or before a clock position, held at the edit ceiling.
inline std::uint32_t EventTimeFromFx24(TimeFx24 time)
{
    return static_cast<std::uint32_t>(std::min<TimeFx24>(time >> 24, kMaxEditTime));
}

} // namespace vellisto::import
