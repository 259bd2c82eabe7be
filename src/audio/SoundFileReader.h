// SPDX-License-Identifier: MIT
#pragma once

// Reading any sound file into a sound slot. RIFF files, and files of no kind
// this unit knows, go through the WAVE reader exactly as before; Ogg Vorbis,
// Ogg Opus, FLAC and MP3 files are decoded (by libsndfile) to signed 16-bit
// PCM at the file's own rate and channel count, mono or stereo, into a sample
// block with the same zero guard zones as a WAVE file's. What comes out is
// then converted to the output format exactly as a WAVE file's samples are.
//
// Memory is bounded before anything is allocated: a stream whose announced
// length would not fit one sample block (32-bit length, as for WAVE data) is
// refused at once, and decoding stops with a refusal as soon as the samples
// actually decoded would pass that size. A call works on one slot that its
// caller owns; different slots may be read from different threads.

#include "audio/SoundFileFormat.h"
#include "model/Project.h"
#include "platform/ReadError.h"

#include <cstdint>
#include <mutex>
#include <span>
#include <string>

namespace vellisto::platform {
class File;
}

namespace vellisto::audio {

// The largest sample data a block can hold: its length with both guard zones
// keeps to 32 bits.
inline constexpr std::uint64_t kMaxSampleBlockBytes = 0xFFFFFFFFull - 2 * kGuardBytes;

// Reads the sound file at a native path into the slot, which must hold no
// samples: by its kind (SoundFileFormat), a compressed file through the
// decoder, anything else through ReadWaveFileAt with that reader's own
// results and reasons. format, when given, receives the kind that decided
// the reader (kUnknown when the file could not be opened). On failure the
// slot holds no samples.
bool ReadSoundFileAt(const std::string& nativePath, SoundSlot& sound,
    platform::ReadError* reason = nullptr, SoundFileFormat* format = nullptr);

// Decodes a whole compressed file held in memory; the same checks and
// results as for a file. maxSampleBytes lowers the size limit (the fuzz
// target keeps its memory small with it).
bool DecodeCompressedSound(std::span<const std::uint8_t> file, SoundSlot& sound,
    platform::ReadError* reason = nullptr, std::uint64_t maxSampleBytes = kMaxSampleBlockBytes);

// Decodes the compressed file open in file (a regular file opened for
// reading), from its first byte to the length it has now.
bool DecodeCompressedSound(platform::File& file, SoundSlot& sound,
    platform::ReadError* reason = nullptr, std::uint64_t maxSampleBytes = kMaxSampleBlockBytes);

// libsndfile keeps the reason of the last failed open in process-wide
// variables (which sf_strerror(nullptr) reads back). Every open of the
// program holds this lock, and so does the reading of that reason, so that
// opens on several threads neither race on them nor see each other's reason.
std::mutex& SndFileOpenMutex();

} // namespace vellisto::audio
