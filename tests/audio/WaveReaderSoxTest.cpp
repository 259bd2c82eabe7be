// SPDX-License-Identifier: MIT
// Real WAVE files written by sox, read back and compared with the samples
// that sox itself decodes from the same files.

#include "audio/AudioTestUtil.h"
#include "audio/WaveReader.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

using namespace vellisto;
using namespace vellisto::audio;

namespace {

bool HaveSox() { return std::system("command -v sox >/dev/null 2>&1") == 0; }

int RunQuietly(const std::string& command)
{
    return std::system((command + " 2>/dev/null").c_str());
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

class WaveReaderSox : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HaveSox())
            GTEST_SKIP() << "sox is not installed";
        m_folder = std::filesystem::path(VEL_TEST_BUILD_DIR) / "sox-waves";
        std::filesystem::create_directories(m_folder);
    }

    // Writes a sine file with sox, or a plain-PCM one with `-t wavpcm`.
    std::filesystem::path make(const std::string& name, int rate, int channels, int bits,
        int frames, const std::string& type = "")
    {
        const auto path = m_folder / name;
        const std::string encoding = bits == 8 ? "unsigned-integer" : "signed-integer";
        std::string tones = " sine 440";
        for (int c = 1; c < channels; ++c)
            tones += " sine " + std::to_string(440 + 220 * c);
        const std::string command = "sox -r " + std::to_string(rate) + " -n -c "
            + std::to_string(channels) + " -b " + std::to_string(bits) + " -e " + encoding + " "
            + type + " '" + path.string() + "' synth " + std::to_string(frames) + "s" + tones
            + " vol 0.9";
        EXPECT_EQ(RunQuietly(command), 0) << command;
        return path;
    }

    // The file's samples as sox decodes them: signed 16-bit (8-bit ones shifted up by 8).
    std::vector<std::int16_t> decode(const std::filesystem::path& wave)
    {
        const auto raw = m_folder / (wave.stem().string() + ".s16");
        const std::string command
            = "sox -D '" + wave.string() + "' -t s16 -e signed-integer '" + raw.string() + "'";
        EXPECT_EQ(RunQuietly(command), 0) << command;
        const auto bytes = ReadBytes(raw);
        std::vector<std::int16_t> samples;
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
            samples.push_back(static_cast<std::int16_t>(bytes[i] | (bytes[i + 1] << 8)));
        return samples;
    }

    std::filesystem::path m_folder;
};

} // namespace

TEST_F(WaveReaderSox, SamplesMatchWhatSoxDecodes)
{
    struct Case {
        int rate, channels, bits, frames;
    };
    // Odd frame counts of 8-bit mono give odd data chunks followed by a pad byte.
    const Case cases[] = { { 8000, 1, 8, 1001 }, { 11025, 2, 8, 777 }, { 22050, 1, 16, 999 },
        { 44100, 2, 16, 1000 }, { 48000, 1, 8, 2 }, { 44100, 2, 16, 1 } };
    for (const Case& c : cases) {
        const std::string name = "sine-" + std::to_string(c.rate) + "-" + std::to_string(c.channels)
            + "-" + std::to_string(c.bits) + "-" + std::to_string(c.frames) + ".wav";
        SCOPED_TRACE(name);
        const auto path = make(name, c.rate, c.channels, c.bits, c.frames);
        const auto expected = decode(path);
        SoundSlot sound;
        platform::ReadError reason;
        ASSERT_TRUE(ReadWaveFileAt(path.string(), sound, &reason))
            << platform::DescribeReadError(reason);
        EXPECT_EQ(sound.dataFormat.samplesPerSecond, static_cast<std::uint32_t>(c.rate));
        EXPECT_EQ(sound.dataFormat.channels, c.channels);
        EXPECT_EQ(sound.dataFormat.bitsPerSample, c.bits);
        EXPECT_EQ(
            sound.sampleBytes / sound.dataFormat.blockAlign, static_cast<std::uint32_t>(c.frames));
        ASSERT_EQ(expected.size(), static_cast<std::size_t>(c.frames * c.channels));
        std::vector<std::int16_t> actual;
        for (std::uint32_t i = 0; i < sound.sampleBytes; i += c.bits / 8) {
            if (c.bits == 8)
                actual.push_back(
                    static_cast<std::int16_t>(static_cast<std::int8_t>(sound.samples[i]) * 256));
            else
                actual.push_back(
                    static_cast<std::int16_t>(sound.samples[i] | (sound.samples[i + 1] << 8)));
        }
        EXPECT_EQ(actual, expected);
        EXPECT_TRUE(test::GuardZonesZero(sound));
    }
}

TEST_F(WaveReaderSox, ExtensibleFileIsRefusedAndPlainOneAccepted)
{
    // sox writes three channels with the extensible format tag unless told otherwise.
    SoundSlot extensible;
    platform::ReadError reason;
    EXPECT_FALSE(
        ReadWaveFileAt(make("three-ext.wav", 8000, 3, 16, 10).string(), extensible, &reason));
    EXPECT_EQ(reason.code, platform::ReadErrorCode::kNotPcm);

    const auto plain = make("three-pcm.wav", 8000, 3, 16, 10, "-t wavpcm");
    SoundSlot sound;
    ASSERT_TRUE(ReadWaveFileAt(plain.string(), sound));
    EXPECT_EQ(sound.dataFormat.channels, 3);
    const auto expected = decode(plain);
    ASSERT_EQ(sound.sampleBytes, expected.size() * 2);
    EXPECT_EQ(test::Samples16(sound), std::vector<int>(expected.begin(), expected.end()));
}
