// SPDX-License-Identifier: MIT
#include "model/Project.h"

#include <gtest/gtest.h>

using namespace vellisto;

TEST(ProjectSettings, ValidateCorrectsOutOfRangeValues)
{
    struct Case {
        std::uint32_t bufferLength;
        std::uint32_t expected;
    };
    for (const Case c :
        { Case { 5000, 4096 }, Case { 100, 1024 }, Case { 65537, 65536 }, Case { 0, 1024 },
            Case { 1023, 1024 }, Case { 2047, 1024 }, Case { 0xFFFFFFFF, 65536 } }) {
        ProjectSettings settings;
        settings.bufferLength = c.bufferLength;
        EXPECT_TRUE(ValidateSettings(settings)) << c.bufferLength;
        EXPECT_EQ(settings.bufferLength, c.expected) << c.bufferLength;
    }

    ProjectSettings settings;
    settings.soundCountPerTrack = 65;
    settings.masterVolume = 300000;
    settings.masterBalance = 0xFFFFFFFB; // -5 typed into the field
    EXPECT_TRUE(ValidateSettings(settings));
    EXPECT_EQ(settings.soundCountPerTrack, 64u);
    EXPECT_EQ(settings.masterVolume, 262144u);
    EXPECT_EQ(settings.masterBalance, 0u);
    EXPECT_EQ(settings.bufferLength, 4096u);

    settings.masterBalance = 2000;
    EXPECT_TRUE(ValidateSettings(settings));
    EXPECT_EQ(settings.masterBalance, 1024u);
}

TEST(ProjectSettings, ValidateKeepsValidValues)
{
    ProjectSettings settings;
    EXPECT_FALSE(ValidateSettings(settings));
    settings.soundCountPerTrack = 0; // no voices is allowed
    settings.masterVolume = 262144;
    settings.masterBalance = 1024;
    settings.bufferLength = 65536;
    EXPECT_FALSE(ValidateSettings(settings));
    EXPECT_EQ(settings.soundCountPerTrack, 0u);
}
