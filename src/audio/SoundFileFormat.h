// SPDX-License-Identifier: MIT
#pragma once

// Telling the kind of a sound file from its first bytes, without decoding
// it: RIFF files go to the WAVE reader, Ogg Vorbis, Ogg Opus, FLAC and MP3
// files to the compressed-sound decoder, and anything else to the WAVE
// reader too, which refuses it as it always has. Stateless; thread-safe.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vellisto::audio {

enum class SoundFileFormat {
    kUnknown, // none of the kinds below: read (and refused) as a WAVE file
    kWave, // begins with "RIFF"
    kOggVorbis, // an Ogg stream whose first packet is a Vorbis identification header
    kOggOpus, // an Ogg stream whose first packet is "OpusHead"
    kOgg, // another Ogg stream: given to the decoder, which refuses what it cannot play
    kFlac, // begins with "fLaC"
    kMp3, // an ID3v2 tag or an MPEG audio frame header
};

// How many leading bytes DetectSoundFileFormat looks at, at most: an Ogg
// page header with its largest segment table and the first bytes of the
// packet after it.
inline constexpr std::size_t kSoundSniffBytes = 27 + 255 + 8;

// The kind of file whose first bytes are head (the whole file when shorter).
SoundFileFormat DetectSoundFileFormat(std::span<const std::uint8_t> head);

// Whether the compressed-sound decoder reads files of this kind.
bool IsCompressedSoundFormat(SoundFileFormat format);

// A short name for reports: "WAVE", "Ogg Vorbis", "Ogg Opus", "Ogg", "FLAC",
// "MP3", "unknown".
std::string_view SoundFileFormatName(SoundFileFormat format);

// The kind of the regular file at a native path; nullopt when it cannot be
// opened (missing, not a regular file, unreadable).
std::optional<SoundFileFormat> SniffSoundFile(const std::string& nativePath);

} // namespace vellisto::audio
