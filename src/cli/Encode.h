// SPDX-License-Identifier: MIT
#pragma once

// Compressed copies of a mix. The mix itself is always written as a 16-bit
// PCM WAVE file; for an output named .flac, .ogg or .opus that file is a
// temporary one, which is then encoded with libsndfile into a second
// temporary file in the output's folder, renamed over the output only once it
// is complete. A failed or interrupted encoding leaves an existing output as
// it was.

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vellisto::cli {

enum class OutputEncoding {
    kWave, // anything but the names below: the mix's own WAVE file
    kFlac, // ".flac": FLAC, 16 bits, lossless
    kVorbis, // ".ogg": Ogg Vorbis
    kOpus, // ".opus": Ogg Opus (48000, 24000, 16000, 12000 or 8000 Hz only)
};

// By the name's extension, without regard to case.
OutputEncoding EncodingOf(std::string_view path);

// A new empty file in the folder of target, named after it with a random
// part and suffix, created exclusively; nullopt when it cannot be created.
std::optional<std::string> CreateFileBeside(const std::string& target, std::string_view suffix);

// Why encoding cannot store a mix of samplesPerSecond and channels, as the
// reason for target (checked before mixing, so that no long mix is wasted);
// nullopt when it can.
std::optional<std::string> EncodingRefusal(const std::string& target, OutputEncoding encoding,
    std::uint32_t samplesPerSecond, std::uint32_t channels);

// Encodes the 16-bit PCM WAVE file at wavePath (as the mix writes it: the
// 44-byte header, then the frames) into target. interrupt, when it becomes
// true, stops the encoding. false with a reason set on failure (target is
// then untouched).
bool EncodeWaveFile(const std::string& wavePath, const std::string& target, OutputEncoding encoding,
    const std::atomic<bool>& interrupt, std::string& reason);

} // namespace vellisto::cli
