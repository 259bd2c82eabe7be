// SPDX-License-Identifier: MIT
#pragma once

// Sound-mode filling: one sound's frames copied straight into an output
// buffer, with its loop repeated when the loop is on, and silence past its
// end. No mixing and no arithmetic on samples. Runs on the feeder thread:
// allocates nothing.

#include <cstdint>

namespace vellisto::preview {

// The sound as the preview reads it.
struct SoundFrames {
    const std::uint8_t* samples = nullptr; // lengthFrames x frameBytes bytes; null when empty
    std::uint32_t frameBytes = 0;
    std::uint32_t lengthFrames = 0;
    std::uint32_t loopBegin = 0;
    std::uint32_t loopEnd = 0;
    std::uint8_t silence = 0; // the byte of silence: 0x80 for 8-bit samples, 0 for 16-bit
};

// Whether the sound has a loop that can be repeated: begin < end <= length.
bool LoopPlayable(const SoundFrames& sound);

// Fills frames x frameBytes bytes of destination from read position
// `position` and returns the position after them:
// - with loop on (and a playable loop), a position at or before the end, before
//   loopEnd and reaching loopEnd within the buffer copies up to loopEnd and
//   carries on at loopBegin, as often as the buffer allows;
// - otherwise frames are copied up to the end of the sound and silence
//   follows; the position counts the silence too.
// A position at or past loopEnd thus plays on to the end of the sound.
std::uint64_t FillSoundBuffer(const SoundFrames& sound, bool loop, std::uint64_t position,
    std::uint8_t* destination, std::uint32_t frames);

} // namespace vellisto::preview
