// SPDX-License-Identifier: MIT
#pragma once

// Why a reader refused its input: one vocabulary for every reader of outside
// data (WAVE files, compressed sounds, project files, MIDI files, BMS
// charts), so that every caller reports a failure the same way. A reason is a
// code and, where the fault has a place in the file, the byte offset at which
// it was found.
// Readers fill a reason only on failure and only when the caller asked for
// one. Plain values and stateless functions; thread-safe.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vellisto::platform {

enum class ReadErrorCode {
    kNone,
    // Any reader.
    kCannotOpen, // missing, unreadable, not a regular file, or a read came up short
    kOutOfMemory,
    kTruncated, // the file ends inside a header or a record
    kChunkPastEnd, // a chunk's length runs past the end of the file
    // WAVE files.
    kAlreadyHoldsSamples, // the slot must be empty before a read
    kNotRiff, // the file does not start with "RIFF"
    kRiffSizeExceedsFile,
    kFormatTooShort, // a "fmt " chunk below 16 bytes
    kNotPcm, // a format tag other than 1
    kUnsupportedBits, // bits per sample other than 8 and 16
    kDataTooLarge, // a "data" size whose block cannot be allocated
    kDataWithoutFormat, // samples but no "fmt " chunk to describe them
    kUnusableFormat, // samples whose block align or sample rate is 0
    // Compressed sounds (Ogg Vorbis, Ogg Opus, FLAC, MP3).
    kUndecodable, // the decoder refused the stream, or it broke off inside
    kTooManyChannels, // more than two channels
    kSoundTooLong, // the decoded samples would not fit one sample block
    // Standard MIDI files.
    kNotMidi, // the file does not start with "MThd"
    kBadHeaderLength, // a header length other than 6
    kZeroDivision, // 0 ticks per quarter note
    kMissingTrack, // fewer track chunks than the header announces
    kNotTrackChunk, // a chunk other than "MTrk" where a track is expected
    // Project files.
    kNotProject, // neither "SPRU" nor "SPRJ"
    kVersionTooNew, // layout version above 0x20002
    kUnknownChunk, // chunk type above 5
    kBadSoundIndex, // sound index 1024 or above
    kBadTrackIndex, // track index 64 or above
    kEventsPastEnd, // a track claims more events than the file holds
    kMissingEnd, // the data ends without an end chunk
};

// The number of codes; kMissingEnd stays the last one.
inline constexpr std::size_t kReadErrorCodeCount
    = static_cast<std::size_t>(ReadErrorCode::kMissingEnd) + 1;

struct ReadError {
    ReadErrorCode code = ReadErrorCode::kNone;
    // Where in the file the fault was found; none for a failure of the file as
    // a whole (it cannot be opened, memory ran out outside any record).
    std::optional<std::uint64_t> offset;
};

// A short English phrase for a code, without an offset.
std::string_view ReadErrorText(ReadErrorCode code);

// "<phrase> at byte <offset>", or the phrase alone when there is no offset:
// the reason the command line prints after the system's own message.
std::string DescribeReadError(const ReadError& error);

// Stores the reason when the caller asked for one, and returns false, so that
// a reader can end with `return FailRead(reason, code, offset);`.
inline bool FailRead(
    ReadError* reason, ReadErrorCode code, std::optional<std::uint64_t> offset = std::nullopt)
{
    if (reason != nullptr)
        *reason = { code, offset };
    return false;
}

} // namespace vellisto::platform
