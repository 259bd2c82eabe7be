// SPDX-License-Identifier: MIT
#include "model/TextTable.h"

#include <gtest/gtest.h>

using namespace vellisto;

TEST(TextTable, FixedEntriesKeepTheirNumbers)
{
    EXPECT_EQ(TextByNumber(0), "English");
    EXPECT_EQ(TextByNumber(117), "Information");
    EXPECT_EQ(TextByNumber(126), "Error");
}

TEST(TextTable, FormatsKeepTheirColumnPadding)
{
    // Frame and time forms of a sound line end in the same column.
    EXPECT_EQ(Text(TextId::kLoopBeginFrames).find('%'), 20u);
    EXPECT_EQ(Text(TextId::kLoopBeginTime).find('%'), 21u);
    EXPECT_EQ(Text(TextId::kReleaseFrames).find('%'), 20u);
    EXPECT_EQ(Text(TextId::kReleaseTime).find('%'), 21u);
    // Settings lines put their value in column 24.
    EXPECT_EQ(Text(TextId::kBufferLengthLine).find('%'), 24u);
    EXPECT_EQ(Text(TextId::kBasePathLine).find('%'), 24u);
}
