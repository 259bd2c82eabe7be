// SPDX-License-Identifier: MIT
#include "audio/SoundFileFormat.h"

#include "platform/File.h"

#include <algorithm>
#include <array>

// Leading bytes looked at:
//
// kind   offset size  value
// RIFF        0    4  "RIFF"
// FLAC        0    4  "fLaC"
// ID3v2       0    3  "ID3" (a tag that MP3 files carry before their frames)
// MPEG        0    2  11 sync bits, then a version other than the reserved 01
//                     and a layer other than the reserved 00
//             2    1  bit-rate index other than 1111, rate index other than 11
// Ogg         0    4  "OggS": a page header of 27 bytes
//            26    1  n, the number of segments in the page
//            27    n  segment sizes; the first packet follows them:
//                       "\x01vorbis" for Vorbis, "OpusHead" for Opus

namespace vellisto::audio {

namespace {

    bool StartsWith(std::span<const std::uint8_t> bytes, std::size_t at, std::string_view text)
    {
        if (at > bytes.size() || bytes.size() - at < text.size())
            return false;
        return std::equal(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
            [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; });
    }

    bool IsMpegFrameHeader(std::span<const std::uint8_t> head)
    {
        if (head.size() < 3 || head[0] != 0xFF || (head[1] & 0xE0) != 0xE0)
            return false;
        const unsigned version = (head[1] >> 3) & 3u;
        const unsigned layer = (head[1] >> 1) & 3u;
        const unsigned bitRate = head[2] >> 4;
        const unsigned rate = (head[2] >> 2) & 3u;
        return version != 1 && layer != 0 && bitRate != 15 && rate != 3;
    }

    SoundFileFormat OggKind(std::span<const std::uint8_t> head)
    {
        if (head.size() < 27)
            return SoundFileFormat::kOgg;
        const std::size_t packet = 27 + std::size_t { head[26] };
        if (StartsWith(head, packet, "\x01vorbis"))
            return SoundFileFormat::kOggVorbis;
        if (StartsWith(head, packet, "OpusHead"))
            return SoundFileFormat::kOggOpus;
        return SoundFileFormat::kOgg;
    }

} // namespace

SoundFileFormat DetectSoundFileFormat(std::span<const std::uint8_t> head)
{
    if (StartsWith(head, 0, "RIFF"))
        return SoundFileFormat::kWave;
    if (StartsWith(head, 0, "OggS"))
        return OggKind(head);
    if (StartsWith(head, 0, "fLaC"))
        return SoundFileFormat::kFlac;
    if (StartsWith(head, 0, "ID3") || IsMpegFrameHeader(head))
        return SoundFileFormat::kMp3;
    return SoundFileFormat::kUnknown;
}

bool IsCompressedSoundFormat(SoundFileFormat format)
{
    switch (format) {
    case SoundFileFormat::kOggVorbis:
    case SoundFileFormat::kOggOpus:
    case SoundFileFormat::kOgg:
    case SoundFileFormat::kFlac:
    case SoundFileFormat::kMp3:
        return true;
    case SoundFileFormat::kUnknown:
    case SoundFileFormat::kWave:
        return false;
    }
    return false;
}

std::string_view SoundFileFormatName(SoundFileFormat format)
{
    switch (format) {
    case SoundFileFormat::kUnknown:
        return "unknown";
    case SoundFileFormat::kWave:
        return "WAVE";
    case SoundFileFormat::kOggVorbis:
        return "Ogg Vorbis";
    case SoundFileFormat::kOggOpus:
        return "Ogg Opus";
    case SoundFileFormat::kOgg:
        return "Ogg";
    case SoundFileFormat::kFlac:
        return "FLAC";
    case SoundFileFormat::kMp3:
        return "MP3";
    }
    return "unknown";
}

std::optional<SoundFileFormat> SniffSoundFile(const std::string& nativePath)
{
    platform::File file;
    if (!file.openForReading(nativePath))
        return std::nullopt;
    std::array<std::uint8_t, kSoundSniffBytes> head {};
    const std::size_t n = file.read(head.data(), head.size());
    return DetectSoundFileFormat({ head.data(), n });
}

} // namespace vellisto::audio
