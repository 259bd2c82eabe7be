// SPDX-License-Identifier: MIT
#include "mix/MixLevels.h"

#include "mix/MixTestUtil.h"
#include "platform/File.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace vellisto;

namespace {

TEST(MixLevels, PeakAndClippedSamples)
{
    struct Case {
        std::vector<std::int16_t> samples;
        std::uint32_t peak;
        std::uint64_t clipped;
        std::string report;
    };
    const std::vector<Case> cases {
        { {}, 0, 0, "Peak level: -inf dBFS\nClipped samples: 0" },
        { { 0, 0 }, 0, 0, "Peak level: -inf dBFS\nClipped samples: 0" },
        // 20 log10(16384 / 32768) = -6.02; a negative sample counts by its magnitude.
        { { 100, -16384, 16383 }, 16384, 0, "Peak level: -6.0 dBFS\nClipped samples: 0" },
        // -32768 is full scale exactly; both ends of the range count as clipped.
        { { -32768, 32767, 32767, 5 }, 32768, 3, "Peak level: 0.0 dBFS\nClipped samples: 3" },
        // 20 log10(1 / 32768) = -90.31.
        { { 1, -1 }, 1, 0, "Peak level: -90.3 dBFS\nClipped samples: 0" },
    };
    for (const Case& c : cases) {
        mix::MixLevels levels;
        levels.add(c.samples);
        EXPECT_EQ(levels.peak, c.peak);
        EXPECT_EQ(levels.clippedSamples, c.clipped);
        EXPECT_EQ(mix::FormatLevelReport(levels), c.report);
    }
}

class MeasureWaveFile : public test::MixFolder { };

TEST_F(MeasureWaveFile, ReadsTheSamplesTheHeaderCountsAndRefusesAShortFile)
{
    // More samples than one read block, so the count carries across blocks.
    std::vector<std::int16_t> samples(70000, 7);
    samples[69999] = -32768;
    samples[3] = 32767;
    writeWave("whole.wav", 2, 44100, samples);
    platform::File file;
    ASSERT_TRUE(file.openForReading(path("whole.wav")));
    const auto levels = mix::MeasureWaveFile(file);
    ASSERT_TRUE(levels);
    EXPECT_EQ(levels->peak, 32768u);
    EXPECT_EQ(levels->clippedSamples, 2u);

    std::filesystem::resize_file(path("whole.wav"), 44 + 1000);
    platform::File shortFile;
    ASSERT_TRUE(shortFile.openForReading(path("whole.wav")));
    EXPECT_FALSE(mix::MeasureWaveFile(shortFile));
}

} // namespace
