// SPDX-License-Identifier: MIT
// The resample and basefreq commands, run as a user would run them.

#include "audio/AudioTestUtil.h"
#include "audio/ConvertSound.h"
#include "audio/SincTables.h"
#include "audio/WaveHeader.h"
#include "audio/WaveReader.h"
#include "cli/CliFixture.h"

#include <cmath>
#include <numbers>

using namespace vellisto;
using AudioCommands = vellisto::test::CliFixture;
using vellisto::test::CliResult;
using vellisto::test::ReadText;

namespace {

std::vector<std::int16_t> Sine440(int frames)
{
    std::vector<std::int16_t> values;
    for (int i = 0; i < frames; ++i)
        values.push_back(static_cast<std::int16_t>(
            std::lround(20000 * std::sin(2 * std::numbers::pi * 440 * i / 44100.0))));
    return values;
}

constexpr const char* kSinePitch = "pitch: 16758237\nbase frequency: 440.4983\n";

} // namespace

TEST_F(AudioCommands, ResampleWritesTheConvertedSoundWithHeader)
{
    std::vector<std::int16_t> samples;
    for (int i = 0; i < 500; ++i)
        samples.push_back(static_cast<std::int16_t>((i * 7919) % 60000 - 30000));
    const auto file = test::WaveBytes {}.pcm16(1, 22050, samples).file();
    writeBytes("in.wav", file);
    const CliResult result = run({ "resample", path("in.wav"), "-o", path("out.wav"), "--rate",
        "44100", "--interp", "linear" });
    ASSERT_EQ(result.exitCode, 0) << result.err;

    audio::BuildSincTables();
    SoundSlot expected;
    ASSERT_TRUE(audio::ParseWaveFile(file, expected));
    ASSERT_TRUE(audio::ConvertSound(expected, test::PcmFormat(2, 44100, 16), 1));
    const auto header = audio::MakeWaveHeader(expected.dataFormat, expected.sampleBytes);
    std::string wanted(header.begin(), header.end());
    wanted.append(reinterpret_cast<const char*>(expected.samples), expected.sampleBytes);
    EXPECT_EQ(ReadText(path("out.wav")), wanted);
}

TEST_F(AudioCommands, BaseFreqPrintsPitchAndFrequency)
{
    writeBytes("a440.wav", test::WaveBytes {}.pcm16(1, 44100, Sine440(88200)).file());
    // Converted to the default stereo output, or kept mono: the same pitch.
    const CliResult stereo = run({ "basefreq", path("a440.wav") });
    EXPECT_EQ(stereo.exitCode, 0) << stereo.err;
    EXPECT_EQ(stereo.out, kSinePitch);
    const CliResult mono
        = run({ "basefreq", path("a440.wav"), "--channels", "1", "--interp", "none" });
    EXPECT_EQ(mono.out, kSinePitch);
    // Only frames 1000..4999, a shorter stretch of the same tone.
    const CliResult part = run({ "basefreq", "--loop", "1000", "5000", path("a440.wav") });
    EXPECT_EQ(part.exitCode, 0);
    EXPECT_NE(part.out, kSinePitch);
}

TEST_F(AudioCommands, FailuresPrintTheSystemMessage)
{
    writeBytes("silence.wav",
        test::WaveBytes {}.pcm16(1, 44100, std::vector<std::int16_t>(4410, 0)).file());
    const CliResult silent = run({ "basefreq", path("silence.wav") });
    EXPECT_EQ(silent.exitCode, 1);
    EXPECT_EQ(silent.err, "Failed in determining base frequency.\n");

    const std::string broken = std::string(VEL_TEST_DATA_DIR) + "/malformed/wave/float-format.wav";
    const CliResult unreadable = run({ "basefreq", broken });
    EXPECT_EQ(unreadable.exitCode, 1);
    EXPECT_TRUE(unreadable.err.starts_with("Failed in loading a WAVE file. ")) << unreadable.err;

    // Three channels read, but cannot be converted.
    writeBytes("three.wav", test::WaveBytes {}.pcm16(3, 44100, { 1, 2, 3 }).file());
    const CliResult three = run({ "resample", path("three.wav"), "-o", path("x.wav") });
    EXPECT_EQ(three.exitCode, 1);
    EXPECT_TRUE(three.err.starts_with("Failed in loading a WAVE file. ")) << three.err;

    // A failed resample leaves an existing output file as it was.
    std::ofstream(path("keep.wav")) << "keep";
    const CliResult failed = run({ "resample", broken, "-o", path("keep.wav") });
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(ReadText(path("keep.wav")), "keep");
}

TEST_F(AudioCommands, UsageErrorsExitWithTwo)
{
    const std::string in = path("a440.wav");
    const std::vector<std::vector<std::string>> cases {
        { "resample", in },
        { "resample", in, "-o", "x.wav", "--rate", "0" },
        { "resample", in, "-o", "x.wav", "--rate", "16777216" },
        { "resample", in, "-o", "x.wav", "--rate", "44100x" },
        { "resample", in, "-o", "x.wav", "--channels", "3" },
        { "resample", in, "-o", "x.wav", "--interp", "cubic" },
        { "resample", in, "-o" },
        { "resample", in, "other.wav", "-o", "x.wav" },
        { "basefreq" },
        { "basefreq", in, "--loop", "5" },
        { "basefreq", in, "--loop", "1", "x" },
        { "basefreq", in, "--loop", "1", "2", "--loop", "3", "4" },
        { "basefreq", in, "--frobnicate" },
    };
    for (const auto& args : cases) {
        const CliResult result = run(args);
        EXPECT_EQ(result.exitCode, 2) << args.back();
        EXPECT_NE(result.err.find("usage: vellisto-cli"), std::string::npos) << args.back();
    }
}
