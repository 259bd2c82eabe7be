// SPDX-License-Identifier: MIT
#include "audio/WaveReader.h"

#include "platform/ByteCursor.h"
#include "platform/File.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>

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
            if (!readTag(tag) || tag != kRiff)
                return fail(WaveReadErrorCode::kNotRiff, 0);
            if (!readU32(riffSize))
                return fail(WaveReadErrorCode::kTruncated, 4);
            if (m_fileBytes - 8 < riffSize)
                return fail(WaveReadErrorCode::kRiffSizeExceedsFile, 4);
            m_end = 8 + RoundUpEven(riffSize);
            if (atEnd())
                return finish();
            return scanForm();
        }

    private:
        // The scan ends at the end of the RIFF body. A skip past the end of the
        // file always reaches it, since the body ends at most one pad byte
        // after the file.
        bool atEnd() const { return m_pastFile || m_cursor.offset() >= m_end; }

        bool readTag(Tag& tag)
        {
            const auto bytes = m_cursor.take(4);
            if (bytes)
                std::copy(bytes->begin(), bytes->end(), tag.begin());
            return bytes.has_value();
        }

        bool readU32(std::uint32_t& value)
        {
            const auto read = m_cursor.readU32le();
            value = read.value_or(0);
            return read.has_value();
        }

        // A relative seek that may run past the end of the file.
        void skip(std::uint64_t count)
        {
            if (!m_cursor.skip(count))
                m_pastFile = true;
        }

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
                const std::uint64_t at = m_cursor.offset();
                Tag tag {};
                if (!readTag(tag))
                    return fail(WaveReadErrorCode::kTruncated, at);
                if (tag == kWave)
                    return atEnd() ? finish() : scanChunks();
                std::uint32_t size = 0;
                if (!readU32(size))
                    return fail(WaveReadErrorCode::kTruncated, at);
                skip(RoundUpEven(size));
                if (atEnd())
                    return finish();
            }
        }

        bool scanChunks()
        {
            do {
                const std::uint64_t at = m_cursor.offset();
                Tag tag {};
                std::uint32_t size = 0;
                if (!readTag(tag) || !readU32(size))
                    return fail(WaveReadErrorCode::kTruncated, at);
                if (tag == kFmt) {
                    if (!readFormat(size, at))
                        return false;
                } else if (tag == kData) {
                    if (!readData(size, at))
                        return false;
                } else {
                    skip(RoundUpEven(size));
                }
            } while (!atEnd());
            return finish();
        }

        bool readFormat(std::uint32_t size, std::uint64_t at)
        {
            if (size < 16)
                return fail(WaveReadErrorCode::kFormatTooShort, at);
            const auto body = m_cursor.take(16);
            if (!body)
                return fail(WaveReadErrorCode::kTruncated, at);
            platform::ByteCursor fields(*body); // every read below fits
            OutputFormat& f = m_sound.dataFormat;
            f.formatTag = *fields.readU16le();
            f.channels = *fields.readU16le();
            f.samplesPerSecond = *fields.readU32le();
            f.averageBytesPerSecond = *fields.readU32le();
            f.blockAlign = *fields.readU16le();
            f.bitsPerSample = *fields.readU16le();
            if (f.formatTag != kFormatPcm)
                return fail(WaveReadErrorCode::kNotPcm, at);
            if (f.bitsPerSample != 8 && f.bitsPerSample != 16)
                return fail(WaveReadErrorCode::kUnsupportedBits, at);
            m_haveFormat = true;
            skip(RoundUpEven(size) - 16); // extension bytes are ignored
            return true;
        }

        bool readData(std::uint32_t size, std::uint64_t at)
        {
            if (size > kMaxDataBytes)
                return fail(WaveReadErrorCode::kDataTooLarge, at);
            // A chunk that claims more bytes than the file holds fails; checking
            // first means a tiny file can never make us allocate its claimed size.
            const auto bytes = m_cursor.take(size);
            if (!bytes)
                return fail(WaveReadErrorCode::kDataPastEnd, at);
            std::uint8_t* samples = AllocateSampleBlock(size);
            if (samples == nullptr)
                return fail(WaveReadErrorCode::kOutOfMemory, at);
            if (size != 0)
                std::memcpy(samples, bytes->data(), size);
            FreeSampleData(m_sound); // a later "data" chunk replaces an earlier one
            m_sound.samples = samples;
            m_sound.sampleBytes = size;
            skip(size & 1u); // pad byte
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

        platform::ByteCursor m_cursor;
        std::uint64_t m_fileBytes;
        SoundSlot& m_sound;
        WaveReadError* m_reason;
        std::uint64_t m_end = 0; // end of the RIFF body
        bool m_pastFile = false; // a skip ran past the end of the file
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
    // Left uninitialised: the read fills every byte, and clearing a long
    // sound's buffer first would cost as much as a second copy.
    const auto size = static_cast<std::size_t>(std::min(*length, kMaxReadBytes));
    std::unique_ptr<std::uint8_t[]> bytes;
    try {
        bytes = std::make_unique_for_overwrite<std::uint8_t[]>(size);
    } catch (const std::bad_alloc&) {
        return failWith(WaveReadErrorCode::kOutOfMemory);
    }
    if (file.read(bytes.get(), size) != size)
        return failWith(WaveReadErrorCode::kCannotOpen);
    file.close();
    return ParseWaveFile({ bytes.get(), size }, sound, reason);
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
