// SPDX-License-Identifier: MIT
// Compressed sounds made by the Debian encoders, read back through the sound
// file reader: lossless ones must give the source samples exactly, lossy
// ones the source's rate, channels, length and most of its signal; damaged,
// many-channel and over-long ones must be refused with a reason and leave no
// samples behind. WAVE files and unknown files keep the WAVE reader's answers.

#include "audio/CompressedTools.h"
#include "audio/SoundFileFormat.h"
#include "audio/SoundFileReader.h"
#include "audio/WaveReader.h"
#include "platform/ReadError.h"

#include <gtest/gtest.h>

using namespace vellisto;
using namespace vellisto::audio;
using namespace vellisto::test;
using platform::ReadError;
using platform::ReadErrorCode;

namespace {

class CompressedSound : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HaveEncoders())
            GTEST_SKIP() << "the encoders are not installed (scripts/install-deps)";
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_folder = std::filesystem::path(VEL_TEST_BUILD_DIR) / "compressed" / info->name();
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
    }

    std::filesystem::path path(const std::string& name) const { return m_folder / name; }

    // Encodes a WAVE file of the samples into name, by name's extension.
    std::filesystem::path encode(const std::string& name, std::uint16_t channels,
        std::uint32_t rate, const std::vector<std::int16_t>& samples)
    {
        const auto wave = path(name + ".source.wav");
        WriteWave16(wave, channels, rate, samples);
        const auto out = path(name);
        const std::string command = EncodeCommand(wave, out);
        EXPECT_TRUE(RunQuietly(command)) << command;
        return out;
    }

    std::filesystem::path m_folder;
};

std::vector<int> AsInts(const std::vector<std::int16_t>& samples)
{
    return { samples.begin(), samples.end() };
}

// Signal to noise ratio of decoded against source, in decibels.
double SnrDb(const std::vector<int>& source, const std::vector<int>& decoded)
{
    double signal = 0.0;
    double noise = 0.0;
    for (std::size_t i = 0; i < source.size() && i < decoded.size(); ++i) {
        signal += static_cast<double>(source[i]) * source[i];
        const double d = static_cast<double>(decoded[i]) - source[i];
        noise += d * d;
    }
    return 10.0 * std::log10(signal / std::max(noise, 1.0));
}

} // namespace

TEST_F(CompressedSound, EachFormatDecodesAtItsOwnRateAndChannelCount)
{
    struct Case {
        std::string name;
        std::uint16_t channels;
        std::uint32_t rate;
        SoundFileFormat format;
        std::uint32_t decodedRate; // Opus always decodes at 48000 Hz
        bool lossless;
    };
    const Case cases[] = {
        { "stereo.flac", 2, 44100, SoundFileFormat::kFlac, 44100, true },
        { "mono.flac", 1, 22050, SoundFileFormat::kFlac, 22050, true },
        { "stereo.ogg", 2, 44100, SoundFileFormat::kOggVorbis, 44100, false },
        { "mono.ogg", 1, 32000, SoundFileFormat::kOggVorbis, 32000, false },
        { "stereo.opus", 2, 44100, SoundFileFormat::kOggOpus, 48000, false },
        { "mono.mp3", 1, 44100, SoundFileFormat::kMp3, 44100, false },
        { "stereo.id3.mp3", 2, 44100, SoundFileFormat::kMp3, 44100, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::uint32_t frames = c.rate / 5; // 0.2 s
        const auto source = ToneSamples(c.channels, c.rate, frames);
        const auto file = encode(c.name, c.channels, c.rate, source);

        SoundSlot sound;
        ReadError reason;
        SoundFileFormat format = SoundFileFormat::kUnknown;
        ASSERT_TRUE(ReadSoundFileAt(file.string(), sound, &reason, &format))
            << DescribeReadError(reason);
        EXPECT_EQ(format, c.format);
        const OutputFormat& f = sound.dataFormat;
        EXPECT_EQ(f.formatTag, kFormatPcm);
        EXPECT_EQ(f.channels, c.channels);
        EXPECT_EQ(f.samplesPerSecond, c.decodedRate);
        EXPECT_EQ(f.bitsPerSample, 16);
        EXPECT_EQ(f.blockAlign, 2 * c.channels);
        EXPECT_EQ(f.averageBytesPerSecond, c.decodedRate * 2 * c.channels);
        EXPECT_TRUE(GuardZonesZero(sound));

        const std::vector<int> decoded = Samples16(sound);
        if (c.lossless) {
            EXPECT_EQ(decoded, AsInts(source));
            continue;
        }
        // The length survives the encoders' padding (Opus: at its own rate).
        const std::uint64_t expectedFrames = std::uint64_t { frames } * c.decodedRate / c.rate;
        const std::uint64_t decodedFrames = decoded.size() / c.channels;
        EXPECT_NEAR(static_cast<double>(decodedFrames), static_cast<double>(expectedFrames), 2.0);
        // Most of the signal's power comes back.
        EXPECT_NEAR(Rms(decoded) / Rms(AsInts(source)), 1.0, 0.15);
        if (c.format == SoundFileFormat::kOggVorbis) {
            EXPECT_GT(SnrDb(AsInts(source), decoded), 15.0); // Vorbis keeps the samples aligned
        }
    }
}

TEST_F(CompressedSound, EightBitFlacWidensToSixteenBitsExactly)
{
    // An 8-bit WAVE source: its unsigned bytes v become (v - 128) x 256.
    const std::vector<std::uint8_t> bytes = { 0x80, 0x00, 0xFF, 0x81, 0x7F, 0x40 };
    std::vector<std::uint8_t> body;
    for (int repeat = 0; repeat < 100; ++repeat)
        body.insert(body.end(), bytes.begin(), bytes.end());
    const auto wave = path("eight.wav");
    WriteBytes(wave, WaveBytes {}.pcm8(1, 8000, body).file());
    const auto flac = path("eight.flac");
    ASSERT_TRUE(RunQuietly(EncodeCommand(wave, flac)));

    SoundSlot sound;
    ASSERT_TRUE(ReadSoundFileAt(flac.string(), sound));
    std::vector<int> expected;
    for (const std::uint8_t b : body)
        expected.push_back((static_cast<int>(b) - 128) * 256);
    EXPECT_EQ(Samples16(sound), expected);
    EXPECT_EQ(sound.dataFormat.bitsPerSample, 16);
}

TEST_F(CompressedSound, FaultyFilesAreRefusedWithAReasonAndLeaveNoSamples)
{
    const auto stereo = ToneSamples(2, 44100, 8820);
    const auto flac = ReadBytes(encode("good.flac", 2, 44100, stereo));
    const auto ogg = ReadBytes(encode("good.ogg", 2, 44100, stereo));
    encode("three.flac", 3, 8000, ToneSamples(3, 8000, 400));
    encode("three.ogg", 3, 8000, ToneSamples(3, 8000, 400));

    // The FLAC stream information keeps the total frame count in the low 36
    // bits of the big-endian word at byte 18.
    const auto withFrameCount = [&](std::uint64_t total) {
        auto bytes = flac;
        std::uint64_t word = 0;
        for (int i = 0; i < 8; ++i)
            word = word << 8 | bytes[18 + i];
        word = (word & ~((std::uint64_t { 1 } << 36) - 1)) | total;
        for (int i = 7; i >= 0; --i, word >>= 8)
            bytes[18 + i] = static_cast<std::uint8_t>(word);
        return bytes;
    };
    const auto cut = [](std::vector<std::uint8_t> bytes, std::size_t size) {
        bytes.resize(size);
        return bytes;
    };
    const auto text
        = [](const std::string& s) { return std::vector<std::uint8_t>(s.begin(), s.end()); };

    struct Case {
        std::string name;
        std::vector<std::uint8_t> bytes; // written to the file (none: the file made above)
        ReadErrorCode code;
        SoundFileFormat format;
    };
    const Case cases[] = {
        { "three.flac", {}, ReadErrorCode::kTooManyChannels, SoundFileFormat::kFlac },
        { "three.ogg", {}, ReadErrorCode::kTooManyChannels, SoundFileFormat::kOggVorbis },
        { "half.flac", cut(flac, flac.size() / 2), ReadErrorCode::kUndecodable,
            SoundFileFormat::kFlac },
        { "head.ogg", cut(ogg, 200), ReadErrorCode::kUndecodable, SoundFileFormat::kOggVorbis },
        { "junk.ogg", text("OggS and then nothing that is a page"), ReadErrorCode::kUndecodable,
            SoundFileFormat::kOgg },
        { "junk.flac", text("fLaC without stream information"), ReadErrorCode::kUndecodable,
            SoundFileFormat::kFlac },
        // 2^36 - 1 stereo frames of 4 bytes each: more than a sample block holds.
        { "claims-too-much.flac", withFrameCount((std::uint64_t { 1 } << 36) - 1),
            ReadErrorCode::kSoundTooLong, SoundFileFormat::kFlac },
        // Not a kind the decoder takes: the WAVE reader's own answer, as before.
        { "text.wav", text("hello, not a sound"), ReadErrorCode::kNotRiff,
            SoundFileFormat::kUnknown },
        { "empty.wav", text(""), ReadErrorCode::kNotRiff, SoundFileFormat::kUnknown },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.bytes.empty() || c.name == "empty.wav")
            WriteBytes(path(c.name), c.bytes);
        SoundSlot sound;
        ReadError reason;
        SoundFileFormat format = SoundFileFormat::kWave;
        EXPECT_FALSE(ReadSoundFileAt(path(c.name).string(), sound, &reason, &format));
        EXPECT_EQ(reason.code, c.code) << DescribeReadError(reason);
        EXPECT_EQ(format, c.format);
        EXPECT_EQ(sound.samples, nullptr);
        EXPECT_EQ(sound.sampleBytes, 0u);
    }

    // A missing file or a folder: the WAVE reader's "cannot open".
    for (const auto& missing : { path("missing.ogg"), m_folder }) {
        SoundSlot sound;
        ReadError reason;
        EXPECT_FALSE(ReadSoundFileAt(missing.string(), sound, &reason));
        EXPECT_EQ(reason.code, ReadErrorCode::kCannotOpen);
    }
}

TEST_F(CompressedSound, DecodedLengthIsBoundedWhenTheStreamDoesNotAnnounceIt)
{
    const auto stereo = ToneSamples(2, 44100, 8820);
    auto flac = ReadBytes(encode("good.flac", 2, 44100, stereo));
    // A total frame count of 0 means "unknown": the limit applies while decoding.
    for (int i = 0; i < 5; ++i)
        flac[21 + i] = static_cast<std::uint8_t>(i == 0 ? flac[21] & 0xF0 : 0);
    SoundSlot sound;
    ReadError reason;
    ASSERT_TRUE(DecodeCompressedSound(flac, sound, &reason)) << DescribeReadError(reason);
    EXPECT_EQ(Samples16(sound), AsInts(stereo));

    SoundSlot limited;
    EXPECT_FALSE(DecodeCompressedSound(flac, limited, &reason, 8820 * 4 - 2));
    EXPECT_EQ(reason.code, ReadErrorCode::kSoundTooLong);
    EXPECT_EQ(limited.samples, nullptr);
    // Exactly the limit is enough.
    EXPECT_TRUE(DecodeCompressedSound(flac, limited, &reason, 8820 * 4));
}

TEST_F(CompressedSound, WaveFilesAndFullSlotsKeepTheWaveReadersAnswers)
{
    const auto samples = ToneSamples(2, 22050, 300);
    const auto wave = path("plain.wav");
    WriteWave16(wave, 2, 22050, samples);
    SoundSlot viaSoundReader;
    SoundSlot viaWaveReader;
    SoundFileFormat format = SoundFileFormat::kUnknown;
    ASSERT_TRUE(ReadSoundFileAt(wave.string(), viaSoundReader, nullptr, &format));
    ASSERT_TRUE(ReadWaveFileAt(wave.string(), viaWaveReader));
    EXPECT_EQ(format, SoundFileFormat::kWave);
    EXPECT_EQ(Samples16(viaSoundReader), Samples16(viaWaveReader));
    EXPECT_TRUE(SameFormatKey(viaSoundReader.dataFormat, viaWaveReader.dataFormat));

    // A slot that holds samples is refused, for either kind, and keeps them.
    const auto flac = encode("full.flac", 2, 22050, samples);
    for (const auto& file : { wave, flac }) {
        ReadError reason;
        const std::uint8_t* held = viaSoundReader.samples;
        EXPECT_FALSE(ReadSoundFileAt(file.string(), viaSoundReader, &reason));
        EXPECT_EQ(reason.code, ReadErrorCode::kAlreadyHoldsSamples);
        EXPECT_EQ(viaSoundReader.samples, held);
    }
}

TEST(SoundFileFormat, KindIsToldFromTheLeadingBytes)
{
    const auto bytes
        = [](std::string text) { return std::vector<std::uint8_t>(text.begin(), text.end()); };
    // An Ogg page header: 27 bytes, the last giving the number of segments.
    const auto oggPage = [&](std::uint8_t segments, const std::string& packet) {
        std::vector<std::uint8_t> page = bytes("OggS");
        page.resize(26, 0);
        page.push_back(segments);
        page.insert(page.end(), segments, 0x1e);
        page.insert(page.end(), packet.begin(), packet.end());
        return page;
    };
    struct Case {
        std::vector<std::uint8_t> head;
        SoundFileFormat format;
    };
    const Case cases[] = {
        { bytes("RIFF\x10\0\0\0WAVE"), SoundFileFormat::kWave },
        { bytes("RIFF"), SoundFileFormat::kWave },
        { bytes("fLaC\0\0\0\x22"), SoundFileFormat::kFlac },
        { bytes("ID3\x03\0"), SoundFileFormat::kMp3 },
        { { 0xFF, 0xFB, 0x90, 0x44 }, SoundFileFormat::kMp3 }, // MPEG 1 layer III, 128 kbit/s
        { { 0xFF, 0xF3, 0x48, 0xC4 }, SoundFileFormat::kMp3 }, // MPEG 2 layer III
        { { 0xFF, 0xE9, 0x90, 0x44 }, SoundFileFormat::kUnknown }, // reserved layer 00
        { { 0xFF, 0xFB, 0xF0, 0x44 }, SoundFileFormat::kUnknown }, // bit-rate index 1111
        { { 0xFF, 0xFB, 0x9C, 0x44 }, SoundFileFormat::kUnknown }, // rate index 11
        { { 0xFF, 0xCB, 0x90, 0x44 }, SoundFileFormat::kUnknown }, // sync bits cut short
        { oggPage(1, "\x01vorbis\0"), SoundFileFormat::kOggVorbis },
        { oggPage(255, "OpusHead"), SoundFileFormat::kOggOpus },
        { oggPage(2, "\x80theora"), SoundFileFormat::kOgg },
        { oggPage(9, "Opus"), SoundFileFormat::kOgg }, // the packet is cut off
        { bytes("OggS"), SoundFileFormat::kOgg },
        { bytes("RIF"), SoundFileFormat::kUnknown },
        { bytes("FORM\0\0\0\x10"
                "AIFF"),
            SoundFileFormat::kUnknown },
        { {}, SoundFileFormat::kUnknown },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DetectSoundFileFormat(c.head), c.format) << std::string(
            c.head.begin(), c.head.begin() + std::min<std::size_t>(c.head.size(), 8));
        EXPECT_EQ(IsCompressedSoundFormat(c.format),
            c.format != SoundFileFormat::kWave && c.format != SoundFileFormat::kUnknown);
    }
}
