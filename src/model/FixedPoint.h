// SPDX-License-Identifier: MIT
#pragma once

// The fixed-point formats shared by the engine, the converter, the importers and
// the editors.

#include <cstdint>

namespace vellisto {

using PitchFx24 = std::uint32_t; // 8.24 fixed point, 1.0 == 1 << 24
inline constexpr PitchFx24 kPitchOne = PitchFx24 { 1 } << 24;
inline constexpr std::int32_t kVolumeOne = 1024; // volume unit: 1024 == 1.0
inline constexpr std::uint32_t kBalanceCentre = 512; // balance unit: 0 left, 512 centre, 1024 right
inline constexpr std::uint32_t kBalanceMax = 1024;
inline constexpr std::uint32_t kFrozenOne = 0x10000; // frozen envelope level, 16.16

} // namespace vellisto
