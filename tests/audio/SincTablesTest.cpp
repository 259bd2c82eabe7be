// SPDX-License-Identifier: MIT
#include "audio/SincTables.h"

#include <gtest/gtest.h>

using namespace vellisto::audio;

TEST(SincTables, LowResolutionReferenceEntries)
{
    BuildSincTables();
    const std::int32_t* t = LowResSincTable();
    EXPECT_EQ(t[0], 0);
    EXPECT_EQ(t[1], 16384);
    EXPECT_EQ(t[2], 32770);
    EXPECT_EQ(t[1024], 15540351);
    EXPECT_EQ(t[2048], 22243045);
}

TEST(SincTables, HighResolutionReferenceEntries)
{
    BuildSincTables();
    const std::int32_t* t = HighResSincTable();
    EXPECT_EQ(t[1], 16384);
    EXPECT_EQ(t[16384], 242529712);
    EXPECT_EQ(t[32768], 343490917);
}

TEST(SincTables, LookupReflectsAroundHalfPeriod)
{
    BuildSincTables();
    EXPECT_EQ(LowResSinc(4095), LowResSincTable()[1]);
    EXPECT_EQ(LowResSinc(2048), LowResSincTable()[2048]);
    EXPECT_EQ(HighResSinc(65535), HighResSincTable()[1]);
    EXPECT_EQ(HighResSinc(40000), HighResSincTable()[65536 - 40000]);
}
