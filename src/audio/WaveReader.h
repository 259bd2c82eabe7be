// SPDX-License-Identifier: MIT
#pragma once

// Reading PCM WAVE files (8 or 16 bits, any channel count and rate) into a
// sound slot, and releasing a slot's samples. The samples land in a block with
// a zero guard zone of kGuardBytes before and after them; 8-bit samples are
// stored signed. A call works on one slot that its caller owns; different
// slots may be read from different threads.

#include "model/Project.h"
#include "platform/ReadError.h"

#include <cstdint>
#include <span>
#include <string>

namespace vellisto::audio {

// Reads the file whose full path is sound.fileName. The sound must hold no
// samples. On success dataFormat (all fields but extraSize), samples and
// sampleBytes are filled; a file without a "data" chunk succeeds with no
// samples. On failure the sound holds no samples and dataFormat may be partly
// overwritten.
bool ReadWaveFile(SoundSlot& sound);

// The same for a native (UTF-8, '/'-separated) path. On failure a given
// reason says why, with the offset of the chunk where the fault was found.
bool ReadWaveFileAt(
    const std::string& nativePath, SoundSlot& sound, platform::ReadError* reason = nullptr);

// The same for the bytes of a whole file.
bool ParseWaveFile(
    std::span<const std::uint8_t> file, SoundSlot& sound, platform::ReadError* reason = nullptr);

// Releases the sound's sample block (if any) and clears samples and sampleBytes.
void FreeSampleData(SoundSlot& sound);

} // namespace vellisto::audio
