// SPDX-License-Identifier: MIT
#include "platform/TextCodec.h"

#include <gtest/gtest.h>
#include <vector>

using namespace vellisto::platform;

namespace {
std::span<const std::uint8_t> Bytes(const std::vector<std::uint8_t>& v) { return v; }
} // namespace

TEST(TextCodec, ValidUtf8IsReadAsUtf8)
{
    const std::vector<std::uint8_t> text { 0xE9, 0x9F, 0xB3, 'a' }; // "音a"
    EXPECT_EQ(DecodeAnsi(Bytes(text)), u"\u97F3a");
}

TEST(TextCodec, ShiftJisIsReadAsCp932)
{
    const std::vector<std::uint8_t> text { 0x89, 0xB9, '.', 'w', 'a', 'v' }; // "音.wav"
    EXPECT_EQ(DecodeAnsi(Bytes(text)), u"\u97F3.wav");
}

TEST(TextCodec, BrokenShiftJisDoesNotStopDecoding)
{
    const std::vector<std::uint8_t> text { 'a', 0x89, 'b', 0xFF, 'c' };
    const std::u16string decoded = DecodeAnsi(Bytes(text));
    EXPECT_EQ(decoded.front(), u'a');
    EXPECT_EQ(decoded.back(), u'c');
}

TEST(TextCodec, Utf16RoundTripsThroughUtf8)
{
    const std::u16string text = u"sound\\\u97F3\U0001F3B5.wav";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
    EXPECT_EQ(Utf16ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
}
