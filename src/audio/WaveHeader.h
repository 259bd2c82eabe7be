// SPDX-License-Identifier: MIT
#pragma once

// The canonical 44-byte WAVE header written before 16-bit PCM output:
// "RIFF", size, "WAVE", a 16-byte "fmt " chunk copied from the first 16 bytes
// of the format record, then "data" and its size.
//
// offset size field
//      0    4 "RIFF"
//      4    4 36 + data bytes
//      8    4 "WAVE"
//     12    4 "fmt "
//     16    4 16
//     20   16 formatTag, channels, samplesPerSecond, averageBytesPerSecond,
//             blockAlign, bitsPerSample
//     36    4 "data"
//     40    4 data bytes

#include "model/Project.h"

#include <array>
#include <cstdint>

namespace vellisto::audio {

inline constexpr std::uint32_t kWaveHeaderBytes = 44;

std::array<std::uint8_t, kWaveHeaderBytes> MakeWaveHeader(
    const OutputFormat& format, std::uint32_t dataBytes);

} // namespace vellisto::audio
