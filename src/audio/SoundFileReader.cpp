// SPDX-License-Identifier: MIT
#include "audio/SoundFileReader.h"

#include "audio/WaveReader.h"
#include "platform/File.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <sndfile.h>
#include <vector>

namespace vellisto::audio {

namespace {

    using platform::FailRead;
    using platform::ReadError;
    using platform::ReadErrorCode;

    // The decoder reads through one of these: bytes in memory, or an open
    // file up to the length it had when decoding began. Positions past the
    // end are allowed (a seek may go there); reads there return nothing.
    class ByteSource {
    public:
        virtual ~ByteSource() = default;
        virtual std::uint64_t length() const = 0;
        // Copies up to count bytes at position; returns the count copied.
        virtual std::size_t readAt(std::uint64_t position, void* out, std::size_t count) = 0;

        std::uint64_t position = 0;
        bool failed = false; // a read came up short of the length
    };

    class MemorySource final : public ByteSource {
    public:
        explicit MemorySource(std::span<const std::uint8_t> bytes)
            : m_bytes(bytes)
        {
        }
        std::uint64_t length() const override { return m_bytes.size(); }
        std::size_t readAt(std::uint64_t at, void* out, std::size_t count) override
        {
            std::memcpy(out, m_bytes.data() + at, count);
            return count;
        }

    private:
        std::span<const std::uint8_t> m_bytes;
    };

    class FileSource final : public ByteSource {
    public:
        FileSource(platform::File& file, std::uint64_t length)
            : m_file(file)
            , m_length(length)
        {
        }
        std::uint64_t length() const override { return m_length; }
        std::size_t readAt(std::uint64_t at, void* out, std::size_t count) override
        {
            if (!m_file.seek(at))
                return 0;
            return m_file.read(out, count);
        }

    private:
        platform::File& m_file;
        std::uint64_t m_length;
    };

    ByteSource& SourceOf(void* user) { return *static_cast<ByteSource*>(user); }

    sf_count_t SourceLength(void* user) { return static_cast<sf_count_t>(SourceOf(user).length()); }

    sf_count_t SourceSeek(sf_count_t offset, int whence, void* user)
    {
        ByteSource& source = SourceOf(user);
        std::int64_t base = 0;
        if (whence == SEEK_CUR)
            base = static_cast<std::int64_t>(source.position);
        else if (whence == SEEK_END)
            base = static_cast<std::int64_t>(source.length());
        else if (whence != SEEK_SET)
            return -1;
        // Lengths are below 2^63, so only a hostile offset can overflow.
        std::int64_t target = 0;
        if (__builtin_add_overflow(base, static_cast<std::int64_t>(offset), &target) || target < 0)
            return -1;
        source.position = static_cast<std::uint64_t>(target);
        return target;
    }

    sf_count_t SourceRead(void* out, sf_count_t count, void* user)
    {
        ByteSource& source = SourceOf(user);
        if (count <= 0 || source.position >= source.length())
            return 0;
        const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(
            static_cast<std::uint64_t>(count), source.length() - source.position));
        const std::size_t got = source.readAt(source.position, out, wanted);
        if (got < wanted)
            source.failed = true;
        source.position += got;
        return static_cast<sf_count_t>(got);
    }

    sf_count_t SourceWrite(const void*, sf_count_t, void*) { return 0; }

    sf_count_t SourceTell(void* user) { return static_cast<sf_count_t>(SourceOf(user).position); }

    // Closes the decoder's handle on every way out.
    struct HandleCloser {
        void operator()(SNDFILE* handle) const { sf_close(handle); }
    };
    using Handle = std::unique_ptr<SNDFILE, HandleCloser>;

    // Only the formats this unit promises are decoded; libsndfile reads many
    // more, but each is a parser more for hostile files to reach.
    bool IsAcceptedFormat(int format)
    {
        const int major = format & SF_FORMAT_TYPEMASK;
        const int sub = format & SF_FORMAT_SUBMASK;
        if (major == SF_FORMAT_OGG)
            return sub == SF_FORMAT_VORBIS || sub == SF_FORMAT_OPUS;
        return major == SF_FORMAT_FLAC || major == SF_FORMAT_MPEG;
    }

    // A decoded sample (full scale 1.0) as signed 16 bits: scaled by 32768,
    // rounded half up, clipped. Integer sources of 16 bits come back exactly,
    // since the decoder divided them by 32768.
    std::int16_t ToPcm16(float value)
    {
        const double scaled = std::floor(static_cast<double>(value) * 32768.0 + 0.5);
        if (!(scaled >= -32768.0)) // also NaN
            return scaled > 0.0 ? std::int16_t { 32767 } : std::int16_t { -32768 };
        if (scaled > 32767.0)
            return 32767;
        return static_cast<std::int16_t>(scaled);
    }

    // Decoded samples gathered in pieces of fixed size, so that a long sound
    // is never copied while it grows, then joined once into its block.
    class SampleChunks {
    public:
        static constexpr std::size_t kChunkSamples = std::size_t { 1 } << 18;

        void append(const float* values, std::size_t count)
        {
            for (std::size_t i = 0; i < count; ++i) {
                if (m_chunks.empty() || m_chunks.back().size() == kChunkSamples) {
                    m_chunks.emplace_back();
                    m_chunks.back().reserve(kChunkSamples);
                }
                m_chunks.back().push_back(ToPcm16(values[i]));
            }
            m_count += count;
        }

        std::uint64_t bytes() const { return std::uint64_t { m_count } * 2; }

        // Little-endian 16-bit samples, as a WAVE file stores them.
        void copyTo(std::uint8_t* out) const
        {
            for (const auto& chunk : m_chunks) {
                for (const std::int16_t sample : chunk) {
                    const auto bits = static_cast<std::uint16_t>(sample);
                    *out++ = static_cast<std::uint8_t>(bits);
                    *out++ = static_cast<std::uint8_t>(bits >> 8);
                }
            }
        }

    private:
        std::vector<std::vector<std::int16_t>> m_chunks;
        std::uint64_t m_count = 0;
    };

    bool Decode(ByteSource& source, SoundSlot& sound, ReadError* reason, std::uint64_t maxBytes)
    {
        if (sound.samples != nullptr)
            return FailRead(reason, ReadErrorCode::kAlreadyHoldsSamples);
        // Only streams that announce one of the accepted kinds reach the
        // decoder: its readers of other formats are never exposed.
        std::array<std::uint8_t, kSoundSniffBytes> head {};
        const auto headBytes
            = static_cast<std::size_t>(std::min<std::uint64_t>(head.size(), source.length()));
        if (source.readAt(0, head.data(), headBytes) != headBytes)
            return FailRead(reason, ReadErrorCode::kCannotOpen);
        if (!IsCompressedSoundFormat(DetectSoundFileFormat({ head.data(), headBytes })))
            return FailRead(reason, ReadErrorCode::kUndecodable);
        SF_VIRTUAL_IO io { SourceLength, SourceSeek, SourceRead, SourceWrite, SourceTell };
        SF_INFO info {};
        Handle handle;
        {
            const std::lock_guard lock(SndFileOpenMutex());
            handle.reset(sf_open_virtual(&io, SFM_READ, &info, &source));
        }
        if (source.failed)
            return FailRead(reason, ReadErrorCode::kCannotOpen);
        if (!handle || !IsAcceptedFormat(info.format))
            return FailRead(reason, ReadErrorCode::kUndecodable);
        if (info.channels < 1 || info.samplerate <= 0)
            return FailRead(reason, ReadErrorCode::kUnusableFormat);
        if (info.channels > 2)
            return FailRead(reason, ReadErrorCode::kTooManyChannels);
        const auto channels = static_cast<std::uint32_t>(info.channels);
        // The announced length is checked before anything is allocated; an
        // unknown length (negative, or the largest count) is checked as the
        // samples arrive.
        if (info.frames > 0 && info.frames != std::numeric_limits<sf_count_t>::max()
            && static_cast<std::uint64_t>(info.frames) > maxBytes / (2 * channels))
            return FailRead(reason, ReadErrorCode::kSoundTooLong);

        constexpr sf_count_t kFramesPerRead = 4096;
        std::array<float, kFramesPerRead * 2> buffer {};
        SampleChunks samples;
        for (;;) {
            const sf_count_t frames = sf_readf_float(handle.get(), buffer.data(), kFramesPerRead);
            if (frames <= 0)
                break;
            const auto count = static_cast<std::size_t>(frames) * channels;
            if (samples.bytes() + 2 * std::uint64_t { count } > maxBytes)
                return FailRead(reason, ReadErrorCode::kSoundTooLong);
            samples.append(buffer.data(), count);
        }
        if (source.failed)
            return FailRead(reason, ReadErrorCode::kCannotOpen);
        if (sf_error(handle.get()) != SF_ERR_NO_ERROR)
            return FailRead(reason, ReadErrorCode::kUndecodable);

        OutputFormat& f = sound.dataFormat;
        f.formatTag = kFormatPcm;
        f.channels = static_cast<std::uint16_t>(channels);
        f.samplesPerSecond = static_cast<std::uint32_t>(info.samplerate);
        f.blockAlign = static_cast<std::uint16_t>(2 * channels);
        // Wraps for absurd rates, like the same field of a WAVE file; unused here.
        f.averageBytesPerSecond = f.samplesPerSecond * f.blockAlign;
        f.bitsPerSample = 16;
        if (samples.bytes() == 0)
            return true; // a stream without samples, like a WAVE file without data
        std::uint8_t* block = AllocateSampleBlock(samples.bytes());
        if (block == nullptr)
            return FailRead(reason, ReadErrorCode::kOutOfMemory);
        samples.copyTo(block);
        sound.samples = block;
        sound.sampleBytes = static_cast<std::uint32_t>(samples.bytes());
        return true;
    }

    bool DecodeGuarded(
        ByteSource& source, SoundSlot& sound, ReadError* reason, std::uint64_t maxBytes)
    {
        const bool held = sound.samples != nullptr;
        try {
            if (Decode(source, sound, reason, std::min(maxBytes, kMaxSampleBlockBytes)))
                return true;
        } catch (const std::bad_alloc&) {
            FailRead(reason, ReadErrorCode::kOutOfMemory);
        }
        if (!held)
            FreeSampleData(sound); // only a block this read allocated
        return false;
    }

} // namespace

std::mutex& SndFileOpenMutex()
{
    static std::mutex mutex;
    return mutex;
}

bool DecodeCompressedSound(std::span<const std::uint8_t> file, SoundSlot& sound, ReadError* reason,
    std::uint64_t maxSampleBytes)
{
    MemorySource source(file);
    return DecodeGuarded(source, sound, reason, maxSampleBytes);
}

bool DecodeCompressedSound(
    platform::File& file, SoundSlot& sound, ReadError* reason, std::uint64_t maxSampleBytes)
{
    const auto length = file.length();
    if (!length)
        return FailRead(reason, ReadErrorCode::kCannotOpen);
    FileSource source(file, *length);
    return DecodeGuarded(source, sound, reason, maxSampleBytes);
}

bool ReadSoundFileAt(
    const std::string& nativePath, SoundSlot& sound, ReadError* reason, SoundFileFormat* format)
{
    if (format != nullptr)
        *format = SoundFileFormat::kUnknown;
    platform::File file;
    if (sound.samples == nullptr && file.openForReading(nativePath)) {
        std::array<std::uint8_t, kSoundSniffBytes> head {};
        const std::size_t n = file.read(head.data(), head.size());
        const SoundFileFormat kind = DetectSoundFileFormat({ head.data(), n });
        if (format != nullptr)
            *format = kind;
        if (IsCompressedSoundFormat(kind))
            return DecodeCompressedSound(file, sound, reason);
    }
    // Everything else is the WAVE reader's, with its own answers for files
    // that are missing, unreadable or not RIFF at all.
    file.close();
    return ReadWaveFileAt(nativePath, sound, reason);
}

} // namespace vellisto::audio
