// SPDX-License-Identifier: MIT
#include "audio/WaveReader.h"

#include "platform/ByteCursor.h"
#include "platform/File.h"
#include "platform/ReadError.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
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

    using platform::FailRead;
    using platform::ReadError;
    using platform::ReadErrorCode;

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

    // A RIFF body cannot describe more than 8 + 2^32 bytes, so a longer file is
    // read only that far: the RIFF size check is unaffected, and a sample block
    // could not hold more anyway.
    constexpr std::uint64_t kMaxReadBytes = 8 + 0x100000000ull;

    // A file is read through a window of at most this many bytes.
    constexpr std::uint64_t kWindowBytes = 1u << 16;

    // Largest "data" size whose block (size + both guard zones) keeps a 32-bit length.
    constexpr std::uint32_t kMaxDataBytes = 0xFFFFFFFFu - 2 * kGuardBytes;

    std::uint64_t RoundUpEven(std::uint32_t size) { return std::uint64_t { size } + (size & 1u); }

    // The file's bytes as the parser reads them, from a file through a window:
    // the same operations as a ByteCursor over the whole file, plus copyTo,
    // which takes a sound's samples from the file straight into their block
    // instead of through a buffer the size of the file. Every read of the file
    // that comes up short marks the source failed.
    class FileSource {
    public:
        FileSource(platform::File& file, std::uint64_t length)
            : m_file(file)
            , m_length(length)
            , m_window(static_cast<std::size_t>(std::min(length, kWindowBytes)))
        {
        }

        std::uint64_t offset() const { return m_offset; }
        std::uint64_t remaining() const { return m_length - m_offset; }
        bool failed() const { return m_failed; }

        // Only short reads (chunk headers, the format block): n fits the window.
        std::optional<std::span<const std::uint8_t>> take(std::uint64_t n)
        {
            if (n > remaining() || !load(n))
                return std::nullopt;
            const auto part = std::span<const std::uint8_t>(m_window).subspan(
                static_cast<std::size_t>(m_offset - m_windowStart), static_cast<std::size_t>(n));
            m_offset += n;
            return part;
        }

        std::optional<std::uint32_t> readU32le()
        {
            const auto bytes = take(4);
            if (!bytes)
                return std::nullopt;
            return platform::ByteCursor(*bytes).readU32le();
        }

        bool skip(std::uint64_t n)
        {
            if (n > remaining())
                return false;
            m_offset += n;
            return true;
        }

        // Copies the next n bytes (at most remaining()) to destination: what
        // the window already holds, then the rest read from the file directly.
        bool copyTo(std::uint8_t* destination, std::uint64_t n)
        {
            std::uint64_t done = 0;
            if (m_offset >= m_windowStart && m_offset < m_windowStart + m_windowFilled) {
                done = std::min(n, m_windowStart + m_windowFilled - m_offset);
                std::memcpy(destination, m_window.data() + (m_offset - m_windowStart),
                    static_cast<std::size_t>(done));
            }
            const auto rest = static_cast<std::size_t>(n - done);
            if (rest > 0
                && (!m_file.seek(m_offset + done)
                    || m_file.read(destination + done, rest) != rest)) {
                m_failed = true;
                return false;
            }
            m_offset += n;
            return true;
        }

    private:
        // Makes the window hold the n bytes at the read position.
        bool load(std::uint64_t n)
        {
            if (m_offset >= m_windowStart && m_offset + n <= m_windowStart + m_windowFilled)
                return true;
            const auto want
                = static_cast<std::size_t>(std::min<std::uint64_t>(m_window.size(), remaining()));
            m_windowStart = m_offset;
            m_windowFilled = m_file.seek(m_offset) ? m_file.read(m_window.data(), want) : 0;
            if (m_windowFilled >= n)
                return true;
            m_failed = true;
            return false;
        }

        platform::File& m_file;
        std::uint64_t m_length;
        std::uint64_t m_offset = 0;
        std::vector<std::uint8_t> m_window;
        std::uint64_t m_windowStart = 0;
        std::uint64_t m_windowFilled = 0;
        bool m_failed = false;
    };

    bool CopyTo(platform::ByteCursor& cursor, std::uint8_t* destination, std::uint64_t n)
    {
        const auto bytes = cursor.take(n);
        if (bytes && n > 0)
            std::memcpy(destination, bytes->data(), static_cast<std::size_t>(n));
        return bytes.has_value();
    }

    bool CopyTo(FileSource& source, std::uint8_t* destination, std::uint64_t n)
    {
        return source.copyTo(destination, n);
    }

    // Reads a WAVE file from a Source: a ByteCursor over the whole file or a
    // FileSource.
    template <class Source> class WaveParser {
    public:
        WaveParser(Source& source, SoundSlot& sound, ReadError* reason)
            : m_cursor(source)
            , m_fileBytes(source.remaining())
            , m_sound(sound)
            , m_reason(reason)
        {
        }

        bool run()
        {
            Tag tag {};
            std::uint32_t riffSize = 0;
            if (!readTag(tag) || tag != kRiff)
                return fail(ReadErrorCode::kNotRiff, 0);
            if (!readU32(riffSize))
                return fail(ReadErrorCode::kTruncated, 4);
            if (m_fileBytes - 8 < riffSize)
                return fail(ReadErrorCode::kRiffSizeExceedsFile, 4);
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

        bool fail(ReadErrorCode code, std::optional<std::uint64_t> offset)
        {
            return FailRead(m_reason, code, offset);
        }

        // Looks for the form type "WAVE" at each chunk boundary; a body without it
        // holds no samples.
        bool scanForm()
        {
            for (;;) {
                const std::uint64_t at = m_cursor.offset();
                Tag tag {};
                if (!readTag(tag))
                    return fail(ReadErrorCode::kTruncated, at);
                if (tag == kWave)
                    return atEnd() ? finish() : scanChunks();
                std::uint32_t size = 0;
                if (!readU32(size))
                    return fail(ReadErrorCode::kTruncated, at);
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
                    return fail(ReadErrorCode::kTruncated, at);
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
                return fail(ReadErrorCode::kFormatTooShort, at);
            const auto body = m_cursor.take(16);
            if (!body)
                return fail(ReadErrorCode::kTruncated, at);
            platform::ByteCursor fields(*body); // every read below fits
            OutputFormat& f = m_sound.dataFormat;
            f.formatTag = *fields.readU16le();
            f.channels = *fields.readU16le();
            f.samplesPerSecond = *fields.readU32le();
            f.averageBytesPerSecond = *fields.readU32le();
            f.blockAlign = *fields.readU16le();
            f.bitsPerSample = *fields.readU16le();
            if (f.formatTag != kFormatPcm)
                return fail(ReadErrorCode::kNotPcm, at);
            if (f.bitsPerSample != 8 && f.bitsPerSample != 16)
                return fail(ReadErrorCode::kUnsupportedBits, at);
            m_haveFormat = true;
            skip(RoundUpEven(size) - 16); // extension bytes are ignored
            return true;
        }

        bool readData(std::uint32_t size, std::uint64_t at)
        {
            if (size > kMaxDataBytes)
                return fail(ReadErrorCode::kDataTooLarge, at);
            // A chunk that claims more bytes than the file holds fails; checking
            // first means a tiny file can never make us allocate its claimed size.
            if (m_cursor.remaining() < size)
                return fail(ReadErrorCode::kChunkPastEnd, at);
            std::uint8_t* samples = AllocateSampleBlock(size);
            if (samples == nullptr)
                return fail(ReadErrorCode::kOutOfMemory, at);
            if (!CopyTo(m_cursor, samples, size)) {
                ReleaseSampleBlock(samples);
                return fail(ReadErrorCode::kCannotOpen, at);
            }
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
                    return fail(ReadErrorCode::kDataWithoutFormat, std::nullopt);
                if (f.blockAlign == 0 || f.samplesPerSecond == 0)
                    return fail(ReadErrorCode::kUnusableFormat, std::nullopt);
            }
            // 8-bit samples are stored signed: 128 (silence) becomes 0, so the
            // zero guard zones are silence in both widths.
            if (f.bitsPerSample == 8) {
                for (std::uint32_t i = 0; i < m_sound.sampleBytes; ++i)
                    m_sound.samples[i] ^= 0x80u;
            }
            return true;
        }

        Source& m_cursor;
        std::uint64_t m_fileBytes;
        SoundSlot& m_sound;
        ReadError* m_reason;
        std::uint64_t m_end = 0; // end of the RIFF body
        bool m_pastFile = false; // a skip ran past the end of the file
        bool m_haveFormat = false;
    };

} // namespace

bool ParseWaveFile(
    std::span<const std::uint8_t> file, SoundSlot& sound, platform::ReadError* reason)
{
    if (sound.samples != nullptr)
        return FailRead(reason, ReadErrorCode::kAlreadyHoldsSamples);
    platform::ByteCursor cursor(file);
    WaveParser parser(cursor, sound, reason);
    if (parser.run())
        return true;
    FreeSampleData(sound); // only blocks this read allocated
    return false;
}

bool ReadWaveFileAt(const std::string& nativePath, SoundSlot& sound, platform::ReadError* reason)
{
    if (sound.samples != nullptr)
        return FailRead(reason, ReadErrorCode::kAlreadyHoldsSamples);
    platform::File file;
    if (!file.openForReading(nativePath))
        return FailRead(reason, ReadErrorCode::kCannotOpen);
    const auto length = file.length();
    if (!length)
        return FailRead(reason, ReadErrorCode::kCannotOpen);
    std::optional<FileSource> source;
    try {
        source.emplace(file, std::min(*length, kMaxReadBytes));
    } catch (const std::bad_alloc&) {
        return FailRead(reason, ReadErrorCode::kOutOfMemory);
    }
    WaveParser parser(*source, sound, reason);
    if (parser.run())
        return true;
    FreeSampleData(sound); // only blocks this read allocated
    // A file that could not be read as far as its length said is not damaged
    // but unreadable (or changed while being read).
    if (source->failed())
        return FailRead(reason, ReadErrorCode::kCannotOpen);
    return false;
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
