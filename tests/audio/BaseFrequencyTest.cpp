// SPDX-License-Identifier: MIT
#include "audio/BaseFrequency.h"

#include "audio/AudioTestUtil.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

using namespace vellisto;
using namespace vellisto::audio;
using vellisto::test::PcmFormat;
using vellisto::test::SetSamples;

namespace {

constexpr double kPi = std::numbers::pi;

// amplitude x sin(2 pi f i / rate), rounded to the nearest integer.
std::vector<int> Sine(double frequency, double amplitude, int frames, int offset = 0)
{
    std::vector<int> values(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i)
        values[static_cast<std::size_t>(i)] = static_cast<int>(
            std::lround(amplitude * std::sin(2 * kPi * frequency * (i - offset) / 44100.0)));
    return values;
}

std::uint32_t Measure(const std::vector<int>& values, std::uint16_t channels = 1,
    std::uint32_t loopBegin = kNoLoop, std::uint32_t loopEnd = kNoLoop)
{
    SoundSlot sound;
    SetSamples(sound, PcmFormat(channels, 44100, 16), values);
    return DetermineBaseFrequency(sound, loopBegin, loopEnd);
}

} // namespace

TEST(BaseFrequency, MeasuresSineMonoAndStereo)
{
    // Longest run 879 rises over 87900 frames: 87900 x 440 x 2^24 / 878 / 44100.
    const auto sine = Sine(440, 20000, 88200);
    EXPECT_EQ(Measure(sine), 16758237u);
    std::vector<int> stereo;
    for (const int v : sine)
        stereo.insert(stereo.end(), { v, v });
    EXPECT_EQ(Measure(stereo, 2), 16758237u);
}

TEST(BaseFrequency, FollowsDecayingNoteAsOneRun)
{
    std::vector<int> values(88200);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double t = static_cast<double>(i);
        values[i] = static_cast<int>(
            std::lround(30000 * std::exp(-t / 20000) * std::sin(2 * kPi * 220 * t / 44100)));
    }
    EXPECT_EQ(Measure(values), 33477962u);
}

TEST(BaseFrequency, MeasuresSquareWave)
{
    // Period 440 frames, high for the first half.
    std::vector<int> values(88200);
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = (i % 440) < 220 ? 20000 : -20000;
    EXPECT_EQ(Measure(values), 73282246u);
}

TEST(BaseFrequency, RiseStepRunsInTheFrameOfTheFall)
{
    // A square wave of +-1000 with period 20 rises at frames 20, 40, ..., 580.
    // Frame 590 falls to -10000: the fall switches to waiting for a rise and,
    // in the same frame, the grown amplitude closes the run of 29 rises
    // (first 40, last 580). The jump to 30000 at frame 591 then starts a new
    // run; had the growth test waited for frame 591, the higher peak would
    // have hidden the growth and the old run would have gone on.
    std::vector<int> values(592);
    for (std::size_t i = 0; i < 590; ++i)
        values[i] = (i % 20) < 10 ? 1000 : -1000;
    values[590] = -10000;
    values[591] = 30000;
    // trunc(540 x 7381975040 / 28 / 44100)
    EXPECT_EQ(Measure(values), 3228268u);
}

TEST(BaseFrequency, LoopRangeLimitsTheScan)
{
    // 1000 Hz around a 4000-frame stretch of 440 Hz in frames 1000..4999.
    auto values = Sine(1000, 20000, 20000);
    const auto middle = Sine(440, 20000, 4000);
    std::copy(middle.begin(), middle.end(), values.begin() + 1000);
    const std::uint32_t alone = Measure(middle);
    ASSERT_NE(alone, 0u);
    EXPECT_EQ(Measure(values, 1, 1000, 5000), alone);
    EXPECT_NE(Measure(values), alone);

    // A begin at or after the end starts the range at frame 0; an end past the
    // last frame is cut to it.
    const std::vector<int> first(values.begin(), values.begin() + 5000);
    EXPECT_EQ(Measure(values, 1, 6000, 5000), Measure(first));
    EXPECT_EQ(Measure(values, 1, 5000, 5000), Measure(first));
    EXPECT_EQ(Measure(first, 1, 0, 0xFFFFFFF0u), Measure(first));
}

TEST(BaseFrequency, FailsWithoutClearCycles)
{
    EXPECT_EQ(Measure(std::vector<int>(44100, 0)), 0u); // silence
    EXPECT_EQ(Measure(std::vector<int>(44100, 1234)), 0u); // constant
    EXPECT_EQ(Measure(Sine(440, 20000, 88200), 1, 0, 0), 0u); // empty range
    EXPECT_EQ(Measure(Sine(440, 20000, 150)), 0u); // a single cycle
}

TEST(BaseFrequency, FailsForUnusableSounds)
{
    const auto sine = Sine(440, 20000, 8820);
    SoundSlot empty;
    EXPECT_EQ(DetermineBaseFrequency(empty, kNoLoop, kNoLoop), 0u);

    std::vector<OutputFormat> formats;
    formats.push_back(PcmFormat(1, 44100, 8));
    formats.push_back(PcmFormat(1, 0, 16));
    OutputFormat noChannels = PcmFormat(1, 44100, 16);
    noChannels.channels = 0;
    formats.push_back(noChannels);
    OutputFormat noAlign = PcmFormat(1, 44100, 16);
    noAlign.blockAlign = 0;
    formats.push_back(noAlign);
    // Three channels in two-byte frames would read past each frame.
    OutputFormat narrow = PcmFormat(3, 44100, 16);
    narrow.blockAlign = 2;
    formats.push_back(narrow);
    for (std::size_t i = 0; i < formats.size(); ++i) {
        SoundSlot sound;
        SetSamples(sound, PcmFormat(1, 44100, 16), sine);
        sound.dataFormat = formats[i];
        EXPECT_EQ(DetermineBaseFrequency(sound, kNoLoop, kNoLoop), 0u) << i;
    }
}

TEST(BaseFrequency, FailsWhenPitchWouldNotFitThirtyTwoBits)
{
    // A 0.5 Hz square wave: its fundamental is below what a pitch can express.
    std::vector<int> values(44100 * 8);
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = (i % 88200) < 44100 ? 20000 : -20000;
    EXPECT_EQ(Measure(values), 0u);
}
