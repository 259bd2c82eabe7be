// SPDX-License-Identifier: MIT
#pragma once

// The demo's instruments, synthesised with integer arithmetic and a fixed
// noise seed so that every build writes the same bytes: a kick, a snare, a
// hi-hat, a plucked bass, and a lead and a pad that loop seamlessly.
// Each is 16-bit mono at 44100 Hz.

#include <cstdint>
#include <string>
#include <vector>

namespace vellisto::demo {

inline constexpr std::uint32_t kSampleRate = 44100;

struct DemoSample {
    const char* fileName; // "kick.wav", ...
    std::vector<std::int16_t> samples;
    std::uint32_t loopBegin; // frames; kNoLoop for a one-shot
    std::uint32_t loopEnd;
};

// The pitched samples are tuned to A with whole periods, so that loops join
// exactly: the bass sounds A2 (110.25 Hz, a period of 400 frames), the lead
// and the pad A4 (441 Hz, 100 frames).
std::vector<DemoSample> MakeDemoSamples();

// Writes samples as a 16-bit mono PCM WAVE file; false on any error.
bool WriteDemoWave(const std::string& path, const std::vector<std::int16_t>& samples);

} // namespace vellisto::demo
