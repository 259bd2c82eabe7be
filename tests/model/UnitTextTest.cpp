// SPDX-License-Identifier: MIT
#include "model/UnitText.h"

#include <clocale>
#include <gtest/gtest.h>
#include <limits>
#include <string>

using namespace vellisto;

TEST(UnitText, TimeTextFormsAt44100)
{
    EXPECT_EQ(ParseTime("10", 44100), 10u); // plain number: frames
    EXPECT_EQ(ParseTime("1.5", 44100), 66150u); // seconds
    EXPECT_EQ(ParseTime("1:02", 44100), 62u * 44100);
    EXPECT_EQ(ParseTime("1:02.5", 44100), 2756250u);
    EXPECT_EQ(ParseTime("1:", 44100), 60u * 44100);
    EXPECT_EQ(ParseTime("1:.5", 44100), 60u * 44100); // no seconds read: the fraction is not either
    EXPECT_EQ(ParseTime("2.", 44100), 88200u);
    EXPECT_EQ(ParseTime("  7 frames", 44100), 7u);
    EXPECT_EQ(ParseTime("0.00002", 44100), 0u); // 2 x 44100 / 10^5 truncates to 0
    EXPECT_EQ(ParseTime("0.0001", 44100), 4u); // 4.41 truncated
}

TEST(UnitText, TimeTextReadsAtMostNineFractionDigits)
{
    // The tenth digit would add 9 x 4e9 / 10^10 = 3.6 frames if it counted.
    EXPECT_EQ(ParseTime("0.0000000009", 4000000000u), 0u);
    // Nine digits "000000001" give 4 frames; with the tenth it would be 7.
    EXPECT_EQ(ParseTime("0.0000000019", 4000000000u), 4u);
    EXPECT_EQ(ParseTime("1.1234567899999", 44100), ParseTime("1.123456789", 44100));
}

TEST(UnitText, TimeTextWithoutLeadingNumberIsRejected)
{
    for (const char* text : { "", "   ", "abc", ":5", ".5", "-1", "+1" })
        EXPECT_EQ(ParseTime(text, 44100), std::nullopt) << text;
}

TEST(UnitText, TimeTextKeepsLowWordAndZeroesPastSigned64)
{
    EXPECT_EQ(ParseTime("4294967296", 44100), 0u);
    EXPECT_EQ(ParseTime("4294967297", 44100), 1u);
    // 4294967297.5 s at 2 Hz: 8589934595 frames, whose low 32 bits are 3.
    EXPECT_EQ(ParseTime("4294967297.5", 2), 3u);
    EXPECT_EQ(ParseTime("99999999999999999999", 44100), 0u);
    EXPECT_EQ(ParseTime("300000000000000.0", 44100), 0u); // 1.3e19 frames
    EXPECT_EQ(ParseTime("999999999999999999:00", 44100), 0u);
}

TEST(UnitText, TimeDisplay)
{
    EXPECT_EQ(FormatTime(2756250, 44100), "01:02.500");
    EXPECT_EQ(FormatTime(44099, 44100), "00:00.999");
    EXPECT_EQ(FormatTime(6000u * 44100, 44100), "100:00.000");
    // At a high rate the remainder times 1000 passes 32 bits.
    EXPECT_EQ(FormatTime(15999999, 16000000), "00:00.999");
    EXPECT_EQ(FormatTime(12345, 0), "00:00.000");
    EXPECT_EQ(FormatFrames(42, false), "42");
    EXPECT_EQ(FormatFrames(42, true), "        42");
    EXPECT_EQ(FormatFrames(4294967295u, true), "4294967295");
}

TEST(UnitText, VolumeTextForms)
{
    EXPECT_EQ(ParseVolume("1.0"), 1024u);
    EXPECT_EQ(ParseVolume("0.5"), 512u);
    EXPECT_EQ(ParseVolume("1.9999"), 2047u); // 2047.897 truncated
    EXPECT_EQ(ParseVolume("1024"), 1024u);
    EXPECT_EQ(ParseVolume("0x400"), 1024u);
    EXPECT_EQ(ParseVolume("02000"), 1024u); // octal
    EXPECT_EQ(ParseVolume("-0.5"), 0xFFFFFE00u); // -512 as a 32-bit word
    EXPECT_EQ(ParseVolume("4194304.0"), 0u); // 2^32: low word only
    EXPECT_EQ(ParseVolume("4194304.5"), 512u);
    EXPECT_EQ(ParseVolume("1e30.0"), 0u); // scaled value past signed 64 bits
    EXPECT_EQ(ParseVolume("abc"), std::nullopt);
    EXPECT_EQ(ParseVolume("x.5"), std::nullopt);
    EXPECT_EQ(FormatVolume(1024, true), "1.000000");
    EXPECT_EQ(FormatVolume(1536, false), "1536");
    EXPECT_EQ(FormatVolume(1, true), "0.000977");
}

TEST(UnitText, PitchTextForms)
{
    EXPECT_EQ(ParsePitch("1.0"), 16777216u);
    EXPECT_EQ(ParsePitch("0.5"), 8388608u);
    EXPECT_EQ(ParsePitch("0x1000000"), 16777216u);
    EXPECT_EQ(ParsePitch("256.0"), 0u); // 2^32: low word only
    EXPECT_EQ(ParsePitch("255.5"), 0xFF800000u);
    EXPECT_EQ(FormatPitch(16777216, true), "1.000000");
    EXPECT_EQ(FormatPitch(8388608, true), "0.500000");
    EXPECT_EQ(FormatPitch(16777216, false), "16777216");
}

TEST(UnitText, BalanceTextIsClampedAsSigned)
{
    EXPECT_EQ(ParseBalance("0.5"), 768u);
    EXPECT_EQ(ParseBalance("2.0"), 1024u);
    EXPECT_EQ(ParseBalance("-1.0"), 0u);
    EXPECT_EQ(ParseBalance("-2.0"), 0u);
    EXPECT_EQ(ParseBalance("0.0"), 512u);
    EXPECT_EQ(ParseBalance("512"), 512u);
    EXPECT_EQ(ParseBalance("5000"), 1024u);
    EXPECT_EQ(ParseBalance("-5"), 0u);
    EXPECT_EQ(ParseBalance("3000000000"), 0u); // negative as a signed word
    EXPECT_EQ(ParseBalance("1e400."), 0u); // huge: does not fit, yields 0
    EXPECT_EQ(ParseBalance("1e-400."), 512u); // tiny: (0 + 1) x 512
    EXPECT_EQ(ParseBalance("left"), std::nullopt);
    EXPECT_EQ(FormatBalance(0, true), "-1.000000");
    EXPECT_EQ(FormatBalance(768, true), "0.500000");
    EXPECT_EQ(FormatBalance(1024, false), "1024");
}

TEST(UnitText, IntegerNotations)
{
    EXPECT_EQ(ParseInteger("10"), 10u);
    EXPECT_EQ(ParseInteger("0x10"), 16u);
    EXPECT_EQ(ParseInteger("0XfF"), 255u);
    EXPECT_EQ(ParseInteger("010"), 8u);
    EXPECT_EQ(ParseInteger("0"), 0u);
    EXPECT_EQ(ParseInteger("0x"), 0u); // the 0 is read, "x" is left over
    EXPECT_EQ(ParseInteger("08"), 0u); // 8 is not an octal digit
    EXPECT_EQ(ParseInteger("+7"), 7u);
    EXPECT_EQ(ParseInteger("-1"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseInteger("4294967295"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseInteger("4294967296"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseInteger("-99999999999"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseInteger("0x123456789"), 0xFFFFFFFFu);
    for (const char* text : { "", "-", "x", "  ", "+-1" })
        EXPECT_EQ(ParseInteger(text), std::nullopt) << text;
}

TEST(UnitText, NumberReadersReportWhereTheyStopped)
{
    std::size_t pos = 0;
    EXPECT_EQ(ReadUnsignedInteger("12+0x3*", pos), 12u);
    EXPECT_EQ(pos, 2u);
    EXPECT_EQ(ReadUnsignedInteger("12+0x3*", pos), 3u);
    EXPECT_EQ(pos, 6u);
    EXPECT_EQ(ReadUnsignedInteger("12+0x3*", pos), std::nullopt);
    EXPECT_EQ(pos, 6u); // unchanged on failure

    pos = 0;
    EXPECT_EQ(ReadDecimalReal("  -.25x", pos), -0.25);
    EXPECT_EQ(pos, 6u);
    pos = 0;
    EXPECT_EQ(ReadDecimalReal("+2.5e1,", pos), 25.0);
    EXPECT_EQ(pos, 6u);
    for (const char* text : { "inf", "nan", ".", "-", "e5", "" }) {
        pos = 0;
        EXPECT_EQ(ReadDecimalReal(text, pos), std::nullopt) << text;
        EXPECT_EQ(pos, 0u);
    }

    pos = 0;
    EXPECT_EQ(ReadDecimalDigits("0x5", pos), 0u);
    EXPECT_EQ(pos, 1u);
    pos = 0;
    EXPECT_EQ(ReadDecimalDigits("123456789012345678901234:", pos), UINT64_MAX);
    EXPECT_EQ(pos, 24u);
}

TEST(UnitText, ScaleDecimalRange)
{
    EXPECT_EQ(ScaleDecimal(-1.5, 2.0), 0xFFFFFFFDu);
    EXPECT_EQ(ScaleDecimal(-0.9, 1.0), 0u); // truncates toward zero
    EXPECT_EQ(ScaleDecimal(9.3e18, 1.0), 0u);
    EXPECT_EQ(ScaleDecimal(-9.3e18, 1.0), 0u);
    EXPECT_EQ(ScaleDecimal(std::numeric_limits<double>::quiet_NaN(), 1.0), 0u);
    EXPECT_EQ(ClampBalance(0x80000000u), 0u);
    EXPECT_EQ(ClampBalance(1025), 1024u);
    EXPECT_EQ(ClampBalance(700), 700u);
}

TEST(UnitText, DisplayKeepsPointUnderCommaLocale)
{
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr
        && std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") == nullptr)
        GTEST_SKIP() << "no locale with a decimal comma installed";
    const std::string shown = FormatVolume(1536, true);
    const auto parsed = ParseVolume(shown);
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(shown, "1.500000");
    EXPECT_EQ(parsed, 1536u);
}
