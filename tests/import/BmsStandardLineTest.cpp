// SPDX-License-Identifier: MIT
// The standard rules' line grammar and their exact clock.

#include "import/BmsStandardLine.h"

#include "import/FrameClock.h"

#include <gtest/gtest.h>

using namespace vellisto;
using namespace vellisto::import;

TEST(BmsStandardLine, LinesAreReadByTheirForm)
{
    using K = BmsStandardKind;
    struct Case {
        std::u16string line;
        K kind;
        std::uint32_t id = 0; // or the channel of a channel line
        std::u16string text = {}; // data or name
    };
    const Case cases[] = {
        { u"#00111:0101", K::kChannel, 37, u"0101" },
        { u"  #999d1:ZZ  ", K::kChannel, 13 * 36 + 1, u"ZZ" },
        { u"#00101:01 02", K::kChannel, 1, u"01" }, // data ends at a blank
        { u"#0011:01", K::kIgnored },
        { u"#00111 01", K::kIgnored },
        { u"#BPM 145.5", K::kHeaderTempo },
        { u"#bpm\t90", K::kHeaderTempo },
        { u"#BPM01 180", K::kExtendedTempo, 1 },
        { u"#BPMzz 1", K::kExtendedTempo, 1295 },
        { u"#BPM", K::kIgnored },
        { u"#BPM0 1", K::kIgnored },
        { u"#STOP0A 96", K::kStop, 10 },
        { u"#WAV0Z  kick drum.wav  ", K::kSound, 35, u"kick drum.wav" },
        { u"#wav01 a.ogg", K::kSound, 1, u"a.ogg" },
        { u"#WAV01", K::kIgnored },
        { u"#WAV01   ", K::kIgnored },
        { u"#WAV-1 a", K::kIgnored },
        { u"#LNOBJ ZZ", K::kLongNoteEnd, 1295 },
        { u"#LNOBJ Z", K::kIgnored },
        { u"#RANDOM 2", K::kRandom },
        { u"#SETRANDOM 2", K::kSetRandom },
        { u"#IF 1", K::kIf },
        { u"#ELSEIF 3", K::kElseIf },
        { u"#ELSE", K::kElse },
        { u"#ELSE ; the other one", K::kElse },
        { u"#ENDIF", K::kEndIf },
        { u"#ENDRANDOM", K::kEndRandom },
        { u"#IFX 1", K::kIgnored },
        { u"#ELSEWHERE", K::kIgnored },
        { u"#TITLE song", K::kIgnored },
        { u"BPM 120", K::kIgnored },
        { u"#", K::kIgnored },
        { u"", K::kIgnored },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.line.begin(), c.line.end()));
        const BmsStandardLine line = ParseStandardBmsLine(c.line);
        EXPECT_EQ(line.kind, c.kind);
        if (c.kind == K::kChannel) {
            EXPECT_EQ(line.channel, c.id);
            EXPECT_EQ(line.data, c.text);
        } else if (c.kind == K::kSound || c.kind == K::kExtendedTempo || c.kind == K::kStop
            || c.kind == K::kLongNoteEnd) {
            EXPECT_EQ(line.id, c.id);
        }
        if (c.kind == K::kSound) {
            EXPECT_EQ(line.name, c.text);
        }
    }
    EXPECT_EQ(ParseStandardBmsLine(u"#00211:01").measure, 2u);
    EXPECT_EQ(ParseStandardBmsLine(u"#RANDOM 4294967295").integer, 4294967295u);
    EXPECT_FALSE(ParseStandardBmsLine(u"#RANDOM 4294967296").integer);
    EXPECT_FALSE(ParseStandardBmsLine(u"#IF one").integer);
    EXPECT_EQ(ParseStandardBmsLine(u"#BPM01 180").number->numerator, 180u);
}

TEST(BmsStandardLine, DecimalsAreExactToAMillionth)
{
    struct Case {
        std::u16string text;
        std::optional<std::pair<std::uint64_t, std::uint64_t>> value;
    };
    const Case cases[] = {
        { u"145.5", std::pair { 1455, 10 } },
        { u"120", std::pair { 120, 1 } },
        { u"+0.75", std::pair { 75, 100 } },
        { u".5", std::pair { 5, 10 } },
        { u"7.", std::pair { 7, 1 } },
        { u"000000000123", std::pair { 123, 1 } }, // leading zeros are not digits that count
        { u"999999999.999999", std::pair { 999999999999999, 1000000 } },
        { u"1.23456789", std::pair { 1234567, 1000000 } }, // past a millionth dropped
        { u"1000000000", std::nullopt }, // ten digits before the point
        { u"-1", std::nullopt },
        { u"1e3", std::nullopt },
        { u"1.5x", std::nullopt },
        { u".", std::nullopt },
        { u"", std::nullopt },
    };
    for (const Case& c : cases) {
        const auto value = ParseBmsDecimal(c.text);
        ASSERT_EQ(value.has_value(), c.value.has_value())
            << std::string(c.text.begin(), c.text.end());
        if (value) {
            EXPECT_EQ(value->numerator, c.value->first);
            EXPECT_EQ(value->denominator, c.value->second);
        }
    }
    EXPECT_EQ(Base36Text(0), u"00");
    EXPECT_EQ(Base36Text(35), u"0Z");
    EXPECT_EQ(Base36Text(1295), u"ZZ");
    EXPECT_EQ(ParseBase36Pair(u'z', u'Z'), 1295u);
    EXPECT_FALSE(ParseBase36Pair(u'_', u'0'));
}

TEST(FrameClock, SumsAreExactWhateverTheirOrder)
{
    // 1/3 + 1/3 + 1/3 is one whole frame, not 0.999...
    FrameClock thirds;
    for (int i = 0; i < 3; ++i)
        thirds.add(1, 3);
    EXPECT_EQ(thirds.wholeFrames(), 1u);
    EXPECT_EQ(thirds.fractionNumerator(), 0u);
    EXPECT_TRUE(thirds.exact());

    // 291 measures of 7056000/97 frames, added in pieces of 1/192 measure:
    // exactly 21168000 frames, however the pieces are cut.
    FrameClock measures;
    for (int m = 0; m < 291; ++m) {
        for (int k = 0; k < 192; ++k)
            measures.add(7056000, 97 * 192);
    }
    EXPECT_EQ(measures.wholeFrames(), 21168000u);
    EXPECT_EQ(measures.fractionNumerator(), 0u);
    EXPECT_TRUE(measures.exact());

    // Fractions with unrelated huge denominators: the exact sum would need
    // more than 128 bits, so the clock rounds to 2^-64 and says so; it
    // still counts the whole frames.
    FrameClock rough;
    const Uint128 big = (Uint128 { 1 } << 100) + 1;
    rough.add(big / 2, big); // just under a half
    rough.add((big - 2) / 2 + 1, big - 2); // just over a half
    rough.add(big + 7, big + 8); // just under one
    EXPECT_FALSE(rough.exact());
    EXPECT_EQ(rough.wholeFrames(), 1u);
    EXPECT_EQ(rough.eventTime(), 1u);

    // Whole frames saturate; event times stop at the edit ceiling.
    FrameClock far;
    far.add(~Uint128 { 0 }, 1);
    far.add(~Uint128 { 0 }, 1);
    EXPECT_EQ(far.eventTime(), kMaxEditTime);
    EXPECT_EQ(Gcd128(0, 12), 12u);
    EXPECT_EQ(Gcd128(Uint128 { 6 } << 90, Uint128 { 4 } << 80), Uint128 { 1 } << 82);
}
