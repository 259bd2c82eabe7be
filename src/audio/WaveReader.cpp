// SPDX-License-Identifier: MIT
#include "audio/WaveReader.h"

#include "platform/File.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string_view>
#include <vector>

// File layout read here. All integers are little-endian; every chunk is a
// 4-byte identifier and a 4-byte size followed by that many bytes, padded to
// an even length (the pad byte is not counted in the size).
//
// offset size field
//      0    4 "RIFF"
//      4    4 RIFF size: bytes of the body that follows; must not exceed the file
//      8    4 form type, "WAVE" (other chunks before it are skipped)
//     12    . chunks up to 8 + RIFF size rounded up to even, in any order
//
// "fmt " chunk body (16 bytes or more; only the first 16 are read):
//      0    2 formatTag: 1 (PCM) only
//      2    2 channels
//      4    4 samplesPerSecond
//      8    4 averageBytesPerSecond
//     12    2 blockAlign: bytes per frame
//     14    2 bitsPerSample: 8 (unsigned, 128 = silence) or 16 (signed)
//
// "data" chunk body: interleaved frames, channel 0 first. A later "data" chunk
// replaces an earlier one. Any other chunk is skipped.

namespace vellisto::audio {

namespace {

    using Tag = std::array<std::uint8_t, 4>;

    constexpr Tag MakeTag(const char (&text)[5])
    {
        return { static_cast<std::uint8_t>(text[0]), static_cast<std::uint8_t>(text[1]),
            static_cast<std::uint8_t>(text[2]), static_cast<std::uint8_t>(text[3]) };
    }

    constexpr Tag kRiff = MakeTag("RIFF");
    constexpr Tag kWave = MakeTag("WAVE");
    constexpr Tag kFmt = MakeTag("fmt ");
    constexpr Tag kData = MakeTag("data");

    // The whole file is read into memory first. A RIFF body cannot describe more
    // than 8 + 2^32 bytes, so a longer file is read only that far: the RIFF size
    // check is unaffected, and a sample block could not hold more anyway.
    constexpr std::uint64_t kMaxReadBytes = 8 + 0x100000000ull;

    // Largest "data" size whose block (size + both guard zones) keeps a 32-bit length.
    constexpr std::uint32_t kMaxDataBytes = 0xFFFFFFFFu - 2 * kGuardBytes;

    std::uint64_t RoundUpEven(std::uint32_t size) { return std::uint64_t { size } + (size & 1u); }

    // A read position over the file's bytes. Skips are relative and may run past
    // the end of the file (as a seek would); every read checks that its bytes exist.
    class ChunkCursor {
    public:
        explicit ChunkCursor(std::span<const std::uint8_t> bytes)
            : m_bytes(bytes)
        {
        }

        std::uint64_t position() const { return m_pos; }
        std::uint64_t remaining() const
        {
            return m_pos < m_bytes.size() ? m_bytes.size() - m_pos : 0;
        }
        void skip(std::uint64_t count) { m_pos += count; }

        // A view of the next count bytes, advancing past them; empty when fewer remain.
        std::span<const std::uint8_t> take(std::uint64_t count)
        {
            if (remaining() < count)
                return {};
            const auto view
                = m_bytes.subspan(static_cast<std::size_t>(m_pos), static_cast<std::size_t>(count));
            m_pos += count;
            return view;
        }
        bool readTag(Tag& tag)
        {
            const auto bytes = take(4);
            if (bytes.size() != 4)
                return false;
            std::copy(bytes.begin(), bytes.end(), tag.begin());
            return true;
        }
        bool readU16le(std::uint16_t& value)
        {
            const auto bytes = take(2);
            if (bytes.size() != 2)
                return false;
            value = static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
            return true;
        }
        bool readU32le(std::uint32_t& value)
        {
            std::uint16_t low = 0;
            std::uint16_t high = 0;
            if (remaining() < 4 || !readU16le(low) || !readU16le(high))
                return false;
            value = low | (std::uint32_t { high } << 16);
            return true;
        }

    private:
        std::span<const std::uint8_t> m_bytes;
        std::uint64_t m_pos = 0;
    };

    class WaveParser {
    public:
        WaveParser(std::span<const std::uint8_t> file, SoundSlot& sound, WaveReadError* reason)
            : m_cursor(file)
            , m_fileBytes(file.size())
            , m_sound(sound)
            , m_reason(reason)
        {
        }

        bool run()
        {
            Tag tag {};
            std::uint32_t riffSize = 0;
            if (!m_cursor.readTag(tag) || tag != kRiff)
                return fail(WaveReadErrorCode::kNotRiff, 0);
            if (!m_cursor.readU32le(riffSize))
                return fail(WaveReadErrorCode::kTruncated, 4);
            if (m_fileBytes - 8 < riffSize)
                return fail(WaveReadErrorCode::kRiffSizeExceedsFile, 4);
            m_end = 8 + RoundUpEven(riffSize);
            if (atEnd())
                return finish();
            return scanForm();
        }

    private:
        bool atEnd() const { return m_cursor.position() >= m_end; }

        bool fail(WaveReadErrorCode code, std::uint64_t offset)
        {
            if (m_reason != nullptr)
                *m_reason = { code, offset };
            return false;
        }

        // Looks for the form type "WAVE" at each chunk boundary; a body without it
        // holds no samples.
        bool scanForm()
        {
            for (;;) {
                const std::uint64_t at = m_cursor.position();
                Tag tag {};
                if (!m_cursor.readTag(tag))
                    return fail(WaveReadErrorCode::kTruncated, at);
                if (tag == kWave)
                    return atEnd() ? finish() : scanChunks();
                std::uint32_t size = 0;
                if (!m_cursor.readU32le(size))
                    return fail(WaveReadErrorCode::kTruncated, at);
                m_cursor.skip(RoundUpEven(size));
                if (atEnd())
                    return finish();
            }
        }

        bool scanChunks()
        {
            do {
                const std::uint64_t at = m_cursor.position();
                Tag tag {};
                std::uint32_t size = 0;
                if (!m_cursor.readTag(tag) || !m_cursor.readU32le(size))
                    return fail(WaveReadErrorCode::kTruncated, at);
                if (tag == kFmt) {
                    if (!readFormat(size, at))
                        return false;
                } else if (tag == kData) {
                    if (!readData(size, at))
                        return false;
                } else {
                    m_cursor.skip(RoundUpEven(size));
                }
            } while (!atEnd());
            return finish();
        }

        bool readFormat(std::uint32_t size, std::uint64_t at)
        {
            if (size < 16)
                return fail(WaveReadErrorCode::kFormatTooShort, at);
            OutputFormat& f = m_sound.dataFormat;
            if (!m_cursor.readU16le(f.formatTag) || !m_cursor.readU16le(f.channels)
                || !m_cursor.readU32le(f.samplesPerSecond)
                || !m_cursor.readU32le(f.averageBytesPerSecond) || !m_cursor.readU16le(f.blockAlign)
                || !m_cursor.readU16le(f.bitsPerSample))
                return fail(WaveReadErrorCode::kTruncated, at);
            if (f.formatTag != kFormatPcm)
                return fail(WaveReadErrorCode::kNotPcm, at);
            if (f.bitsPerSample != 8 && f.bitsPerSample != 16)
                return fail(WaveReadErrorCode::kUnsupportedBits, at);
            m_haveFormat = true;
            m_cursor.skip(RoundUpEven(size) - 16); // extension bytes are ignored
            return true;
        }

        bool readData(std::uint32_t size, std::uint64_t at)
        {
            if (size > kMaxDataBytes)
                return fail(WaveReadErrorCode::kDataTooLarge, at);
            // A chunk that claims more bytes than the file holds fails; checking
            // first means a tiny file can never make us allocate its claimed size.
            const auto bytes = m_cursor.take(size);
            if (bytes.size() != size)
                return fail(WaveReadErrorCode::kDataPastEnd, at);
            std::uint8_t* samples = AllocateSampleBlock(size);
            if (samples == nullptr)
                return fail(WaveReadErrorCode::kOutOfMemory, at);
            if (size != 0)
                std::memcpy(samples, bytes.data(), size);
            FreeSampleData(m_sound); // a later "data" chunk replaces an earlier one
            m_sound.samples = samples;
            m_sound.sampleBytes = size;
            m_cursor.skip(size & 1u); // pad byte
            return true;
        }

        bool finish()
        {
            OutputFormat& f = m_sound.dataFormat;
            if (m_sound.samples != nullptr) {
                // Samples need a format that says how to step through them.
                if (!m_haveFormat)
                    return fail(WaveReadErrorCode::kDataWithoutFormat, 0);
                if (f.blockAlign == 0 || f.samplesPerSecond == 0)
                    return fail(WaveReadErrorCode::kUnusableFormat, 0);
            }
            // 8-bit samples are stored signed: 128 (silence) becomes 0, so the
            // zero guard zones are silence in both widths.
            if (f.bitsPerSample == 8) {
                for (std::uint32_t i = 0; i < m_sound.sampleBytes; ++i)
                    m_sound.samples[i] ^= 0x80u;
            }
            return true;
        }

        ChunkCursor m_cursor;
        std::uint64_t m_fileBytes;
        SoundSlot& m_sound;
        WaveReadError* m_reason;
        std::uint64_t m_end = 0; // end of the RIFF body
        bool m_haveFormat = false;
    };

} // namespace

std::string_view WaveReadErrorText(WaveReadErrorCode code)
{
    switch (code) {
    case WaveReadErrorCode::kNone:
        return "no error";
    case WaveReadErrorCode::kAlreadyHoldsSamples:
        return "the sound already holds samples";
    case WaveReadErrorCode::kCannotOpen:
        return "the file cannot be opened or read";
    case WaveReadErrorCode::kOutOfMemory:
        return "out of memory";
    case WaveReadErrorCode::kNotRiff:
        return "not a RIFF file";
    case WaveReadErrorCode::kRiffSizeExceedsFile:
        return "the RIFF size exceeds the file";
    case WaveReadErrorCode::kTruncated:
        return "the file ends inside a chunk header or format block";
    case WaveReadErrorCode::kFormatTooShort:
        return "the \"fmt \" chunk is shorter than 16 bytes";
    case WaveReadErrorCode::kNotPcm:
        return "the format is not uncompressed PCM";
    case WaveReadErrorCode::kUnsupportedBits:
        return "bits per sample are neither 8 nor 16";
    case WaveReadErrorCode::kDataTooLarge:
        return "the \"data\" chunk is too large";
    case WaveReadErrorCode::kDataPastEnd:
        return "the \"data\" chunk claims more bytes than the file holds";
    case WaveReadErrorCode::kDataWithoutFormat:
        return "samples without a \"fmt \" chunk";
    case WaveReadErrorCode::kUnusableFormat:
        return "block align or sample rate is 0";
    }
    return "unknown error";
}

bool ParseWaveFile(std::span<const std::uint8_t> file, SoundSlot& sound, WaveReadError* reason)
{
    if (sound.samples != nullptr) {
        if (reason != nullptr)
            *reason = { WaveReadErrorCode::kAlreadyHoldsSamples, 0 };
        return false;
    }
    WaveParser parser(file, sound, reason);
    if (parser.run())
        return true;
    FreeSampleData(sound); // only blocks this read allocated
    return false;
}

bool ReadWaveFileAt(const std::string& nativePath, SoundSlot& sound, WaveReadError* reason)
{
    const auto failWith = [reason](WaveReadErrorCode code) {
        if (reason != nullptr)
            *reason = { code, 0 };
        return false;
    };
    if (sound.samples != nullptr)
        return failWith(WaveReadErrorCode::kAlreadyHoldsSamples);
    platform::File file;
    if (!file.openForReading(nativePath))
        return failWith(WaveReadErrorCode::kCannotOpen);
    const auto length = file.length();
    if (!length)
        return failWith(WaveReadErrorCode::kCannotOpen);
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(static_cast<std::size_t>(std::min(*length, kMaxReadBytes)));
    } catch (const std::bad_alloc&) {
        return failWith(WaveReadErrorCode::kOutOfMemory);
    }
    if (file.read(bytes.data(), bytes.size()) != bytes.size())
        return failWith(WaveReadErrorCode::kCannotOpen);
    file.close();
    return ParseWaveFile(bytes, sound, reason);
}

bool ReadWaveFile(SoundSlot& sound)
{
    const std::u16string_view name(sound.fileName.data(), NameLength(sound.fileName));
    return ReadWaveFileAt(platform::NativePath(name), sound);
}

void FreeSampleData(SoundSlot& sound)
{
    ReleaseSampleBlock(sound.samples);
    sound.samples = nullptr;
    sound.sampleBytes = 0;
}

} // namespace vellisto::audio
