// SPDX-License-Identifier: MIT
#pragma once

// Measuring a sound's fundamental frequency by counting waveform cycles with a
// hysteresis peak tracker in the time domain, and turning it into a pitch
// (pitch unit, 2^24 = 1.0) whose base frequency 440 x 2^24 / pitch is that
// fundamental. Reads the sound only; allocates nothing.

#include "model/Project.h"

#include <cstdint>

namespace vellisto::audio {

// 440 x 2^24: base frequency = kBaseFrequencyScale / pitch.
inline constexpr double kBaseFrequencyScale = 7381975040.0;

// Measures frames loopBegin .. loopEnd - 1 of a sound prepared in a 16-bit
// output format (loopEnd is cut to the frame count; a loopBegin at or past the
// end starts at 0, so two no-loop markers measure the whole sound). Returns
// the pitch, or 0 when no samples, other bits, a rate, block align or channel
// count of 0, an empty range, fewer than two counted rises, or a pitch that
// does not fit 32 bits.
std::uint32_t DetermineBaseFrequency(
    const SoundSlot& sound, std::uint32_t loopBegin, std::uint32_t loopEnd);

} // namespace vellisto::audio
