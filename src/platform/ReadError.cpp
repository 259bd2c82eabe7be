// SPDX-License-Identifier: MIT
#include "platform/ReadError.h"

namespace vellisto::platform {

std::string_view ReadErrorText(ReadErrorCode code)
{
    // Each phrase names its file kind where the code belongs to one reader,
    // since the phrase is printed without the reader's name.
    switch (code) {
    case ReadErrorCode::kNone:
        return "no error";
    case ReadErrorCode::kCannotOpen:
        return "cannot open or read the file";
    case ReadErrorCode::kOutOfMemory:
        return "out of memory";
    case ReadErrorCode::kTruncated:
        return "the file ends inside a header or record";
    case ReadErrorCode::kChunkPastEnd:
        return "a chunk claims more bytes than the file holds";
    case ReadErrorCode::kAlreadyHoldsSamples:
        return "the sound already holds samples";
    case ReadErrorCode::kNotRiff:
        return "not a RIFF file";
    case ReadErrorCode::kRiffSizeExceedsFile:
        return "the RIFF size exceeds the file";
    case ReadErrorCode::kFormatTooShort:
        return "the \"fmt \" chunk is shorter than 16 bytes";
    case ReadErrorCode::kNotPcm:
        return "the WAVE format is not uncompressed PCM";
    case ReadErrorCode::kUnsupportedBits:
        return "bits per sample are neither 8 nor 16";
    case ReadErrorCode::kDataTooLarge:
        return "the \"data\" chunk is too large";
    case ReadErrorCode::kDataWithoutFormat:
        return "samples without a \"fmt \" chunk";
    case ReadErrorCode::kUnusableFormat:
        return "block align or sample rate is 0";
    case ReadErrorCode::kUndecodable:
        return "the compressed sound cannot be decoded";
    case ReadErrorCode::kTooManyChannels:
        return "the compressed sound has more than two channels";
    case ReadErrorCode::kSoundTooLong:
        return "the decoded sound is longer than a sample block can hold";
    case ReadErrorCode::kNotMidi:
        return "not a standard MIDI file (no \"MThd\" header)";
    case ReadErrorCode::kBadHeaderLength:
        return "MIDI header length is not 6";
    case ReadErrorCode::kZeroDivision:
        return "division of 0 ticks per quarter note";
    case ReadErrorCode::kMissingTrack:
        return "fewer track chunks than the header announces";
    case ReadErrorCode::kNotTrackChunk:
        return "a chunk other than \"MTrk\" where a track is expected";
    case ReadErrorCode::kNotProject:
        return "not a project file (no SPRU or SPRJ signature)";
    case ReadErrorCode::kVersionTooNew:
        return "project layout version newer than 0x20002";
    case ReadErrorCode::kUnknownChunk:
        return "unknown project chunk type";
    case ReadErrorCode::kBadSoundIndex:
        return "sound index 1024 or above";
    case ReadErrorCode::kBadTrackIndex:
        return "track index 64 or above";
    case ReadErrorCode::kEventsPastEnd:
        return "a track claims more events than the file holds";
    case ReadErrorCode::kMissingEnd:
        return "the project data has no end chunk";
    }
    return "unknown error";
}

std::string DescribeReadError(const ReadError& error)
{
    std::string text(ReadErrorText(error.code));
    if (error.offset)
        text += " at byte " + std::to_string(*error.offset);
    return text;
}

} // namespace vellisto::platform
