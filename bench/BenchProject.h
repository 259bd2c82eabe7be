// SPDX-License-Identifier: MIT
#pragma once

// The mixing load the benchmarks measure: 64 tracks of 16 voices each (the
// default polyphony), every voice on one of 32 looping sounds of random
// samples at a random pitch from 0.5 to 2.0, so that the voices never end
// and their fractions run through every phase.

#include "model/Project.h"

#include <cstdint>
#include <memory>

namespace vellisto::bench {

inline constexpr std::uint32_t kVoicesPerTrack = 16;
inline constexpr std::uint32_t kBlockFrames = 4096;

inline constexpr std::uint32_t kMixVoices = 64 * kVoicesPerTrack;

// With a rising envelope every sound has that attack time, so that the voices'
// levels change from frame to frame. `voices` (1..4096) are spread over the
// tracks 16 to a track, or evenly over all 64 when there are more than 1024.
std::unique_ptr<Project> MakeMixProject(std::uint16_t channels, Interpolation interpolation,
    bool risingEnvelope = false, std::uint32_t voices = kMixVoices);

// A sample block (guard zones zeroed) of 16-bit stereo: a 440 Hz tone on the
// left and a 660 Hz tone on the right; release with ReleaseSampleBlock.
std::uint8_t* MakeStereoTones(std::uint32_t rate, std::uint32_t frames);

} // namespace vellisto::bench
