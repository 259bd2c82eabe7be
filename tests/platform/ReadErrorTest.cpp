// SPDX-License-Identifier: MIT
#include "platform/ReadError.h"

#include <gtest/gtest.h>
#include <iterator>
#include <set>
#include <string>

using namespace vellisto::platform;

TEST(ReadError, EveryCodeHasItsOwnPhraseNamingTheFault)
{
    // A word each phrase must carry, so that a reason printed without its
    // reader's name still says what went wrong.
    struct Case {
        ReadErrorCode code;
        std::string word;
    };
    const Case cases[] = {
        { ReadErrorCode::kNone, "no error" },
        { ReadErrorCode::kCannotOpen, "open" },
        { ReadErrorCode::kOutOfMemory, "memory" },
        { ReadErrorCode::kTruncated, "ends" },
        { ReadErrorCode::kChunkPastEnd, "chunk" },
        { ReadErrorCode::kAlreadyHoldsSamples, "samples" },
        { ReadErrorCode::kNotRiff, "RIFF" },
        { ReadErrorCode::kRiffSizeExceedsFile, "RIFF size" },
        { ReadErrorCode::kFormatTooShort, "fmt" },
        { ReadErrorCode::kNotPcm, "PCM" },
        { ReadErrorCode::kUnsupportedBits, "bits" },
        { ReadErrorCode::kDataTooLarge, "data" },
        { ReadErrorCode::kDataWithoutFormat, "fmt" },
        { ReadErrorCode::kUnusableFormat, "block align" },
        { ReadErrorCode::kUndecodable, "decoded" },
        { ReadErrorCode::kTooManyChannels, "two channels" },
        { ReadErrorCode::kSoundTooLong, "longer" },
        { ReadErrorCode::kNotMidi, "MIDI" },
        { ReadErrorCode::kBadHeaderLength, "header length" },
        { ReadErrorCode::kZeroDivision, "division" },
        { ReadErrorCode::kMissingTrack, "track" },
        { ReadErrorCode::kNotTrackChunk, "MTrk" },
        { ReadErrorCode::kNotProject, "project" },
        { ReadErrorCode::kVersionTooNew, "version" },
        { ReadErrorCode::kUnknownChunk, "chunk" },
        { ReadErrorCode::kBadSoundIndex, "sound index" },
        { ReadErrorCode::kBadTrackIndex, "track index" },
        { ReadErrorCode::kEventsPastEnd, "events" },
        { ReadErrorCode::kMissingEnd, "end chunk" },
    };
    ASSERT_EQ(std::size(cases), kReadErrorCodeCount) << "a code is missing from this table";
    std::set<ReadErrorCode> codes;
    std::set<std::string> phrases;
    for (const Case& c : cases) {
        const std::string phrase(ReadErrorText(c.code));
        EXPECT_TRUE(codes.insert(c.code).second) << phrase;
        EXPECT_TRUE(phrases.insert(phrase).second) << "shared phrase: " << phrase;
        EXPECT_NE(phrase.find(c.word), std::string::npos) << phrase;
        EXPECT_NE(phrase, "unknown error");
        EXPECT_EQ(phrase.find("at byte"), std::string::npos) << phrase;
        // Without an offset the description is the phrase alone.
        EXPECT_EQ(DescribeReadError({ c.code, std::nullopt }), phrase);
    }
    // A value outside the enumeration still gives text, never garbage.
    EXPECT_EQ(ReadErrorText(static_cast<ReadErrorCode>(kReadErrorCodeCount)), "unknown error");
}

TEST(ReadError, DescriptionAddsTheOffsetWhenThereIsOne)
{
    struct Case {
        ReadError error;
        std::string expected;
    };
    const Case cases[] = {
        { { ReadErrorCode::kNotRiff, 0 }, "not a RIFF file at byte 0" }, // 0 is a place too
        { { ReadErrorCode::kZeroDivision, 12 }, "division of 0 ticks per quarter note at byte 12" },
        { { ReadErrorCode::kEventsPastEnd, 0x123456789ull },
            "a track claims more events than the file holds at byte 4886718345" },
        { { ReadErrorCode::kOutOfMemory, 1234 }, "out of memory at byte 1234" },
        { { ReadErrorCode::kCannotOpen, std::nullopt }, "cannot open or read the file" },
        { {}, "no error" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(DescribeReadError(c.error), c.expected);
}

TEST(ReadError, FailReadFillsOnlyAReasonAskedFor)
{
    EXPECT_FALSE(FailRead(nullptr, ReadErrorCode::kTruncated, 8));
    ReadError reason { ReadErrorCode::kNotMidi, 40 };
    EXPECT_FALSE(FailRead(&reason, ReadErrorCode::kTruncated, 8));
    EXPECT_EQ(reason.code, ReadErrorCode::kTruncated);
    EXPECT_EQ(reason.offset, 8u);
    // A failure without a place clears the offset of an earlier one.
    EXPECT_FALSE(FailRead(&reason, ReadErrorCode::kCannotOpen));
    EXPECT_EQ(reason.code, ReadErrorCode::kCannotOpen);
    EXPECT_FALSE(reason.offset.has_value());
}
