// SPDX-License-Identifier: MIT
#pragma once

// Reading PCM WAVE files (8 or 16 bits, any channel count and rate) into a
// sound slot, and releasing a slot's samples. The samples land in a block with
// a zero guard zone of kGuardBytes before and after them; 8-bit samples are
// stored signed. A call works on one slot that its caller owns; different
// slots may be read from different threads.

#include "model/Project.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vellisto::audio {

// Why a read failed, for the command line to print after the system's own message.
enum class WaveReadErrorCode {
    kNone,
    kAlreadyHoldsSamples, // the slot must be empty before a read
    kCannotOpen,
    kOutOfMemory,
    kNotRiff, // the file does not start with "RIFF"
    kRiffSizeExceedsFile,
    kTruncated, // a chunk header or the format block ends early
    kFormatTooShort, // a "fmt " chunk below 16 bytes
    kNotPcm, // a format tag other than 1
    kUnsupportedBits, // bits per sample other than 8 and 16
    kDataTooLarge, // a "data" size whose block cannot be allocated
    kDataPastEnd, // a "data" chunk claims more bytes than the file holds
    kDataWithoutFormat, // samples but no "fmt " chunk to describe them
    kUnusableFormat, // samples whose block align or sample rate is 0
};

struct WaveReadError {
    WaveReadErrorCode code = WaveReadErrorCode::kNone;
    std::uint64_t offset = 0; // byte offset in the file where the fault was found
};

// A short English description of a failure code.
std::string_view WaveReadErrorText(WaveReadErrorCode code);

// Reads the file whose full path is sound.fileName. The sound must hold no
// samples. On success dataFormat (all fields but extraSize), samples and
// sampleBytes are filled; a file without a "data" chunk succeeds with no
// samples. On failure the sound holds no samples and dataFormat may be partly
// overwritten.
bool ReadWaveFile(SoundSlot& sound);

// The same for a native (UTF-8, '/'-separated) path.
bool ReadWaveFileAt(
    const std::string& nativePath, SoundSlot& sound, WaveReadError* reason = nullptr);

// The same for the bytes of a whole file.
bool ParseWaveFile(
    std::span<const std::uint8_t> file, SoundSlot& sound, WaveReadError* reason = nullptr);

// Releases the sound's sample block (if any) and clears samples and sampleBytes.
void FreeSampleData(SoundSlot& sound);

} // namespace vellisto::audio
