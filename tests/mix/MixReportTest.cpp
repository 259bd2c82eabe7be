// SPDX-License-Identifier: MIT
#include "mix/MixReport.h"

#include <gtest/gtest.h>

using namespace vellisto::mix;

namespace {

TEST(MixReport, TimeAndSpeed)
{
    // 441000 frames at 44100 Hz are 10 s of sound; mixed in 2.5 s that is 4 times real time.
    EXPECT_EQ(FormatMixReport(441000, 44100, 2500),
        "Finished mixing.\nTime to mix: 2.500 seconds\nMixing speed: 4.0000 times");
    EXPECT_EQ(FormatMixReport(22050, 44100, 1000),
        "Finished mixing.\nTime to mix: 1.000 seconds\nMixing speed: 0.5000 times");
    // Faster than the clock: the time reads 0 and the speed counts 1 ms.
    EXPECT_EQ(FormatMixReport(441000, 44100, 0),
        "Finished mixing.\nTime to mix: 0.000 seconds\nMixing speed: 10000.0000 times");
    EXPECT_EQ(FormatMixReport(0, 44100, 7),
        "Finished mixing.\nTime to mix: 0.007 seconds\nMixing speed: 0.0000 times");
}

TEST(MixReport, RemainingTime)
{
    // 1000 of 5000 frames in 1 s: 4000 frames left at 1 ms per frame.
    EXPECT_EQ(RemainingTimeText(1000, 1000, 5000), "推定残り時間 00:04.000");
    EXPECT_EQ(RemainingTimeText(61500, 1, 2), "推定残り時間 01:01.500");
    EXPECT_EQ(RemainingTimeText(1234, 5000, 5000), "推定残り時間 00:00.000");
    // No estimate before the first block.
    EXPECT_FALSE(RemainingTimeText(1000, 0, 5000));
    EXPECT_EQ(RemainingTimeText(3600000, 1000, 2000), "推定残り時間 60:00.000");
    // 5e6 ms x 3 999 000 000 frames left needs 64 bits: 19 995 000 000 ms remain.
    EXPECT_EQ(RemainingTimeText(5000000, 1000000, 4000000000u), "推定残り時間 333250:00.000");
}

} // namespace
