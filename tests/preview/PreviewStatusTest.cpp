// SPDX-License-Identifier: MIT
// The preview's pure parts: the slider arithmetic, the status texts and the
// sound-mode filling of one buffer.

#include "preview/PreviewStatus.h"

#include "preview/SoundFill.h"

#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace vellisto::preview {
namespace {

    TEST(PreviewSlider, MapsPositionsAndSliderValuesWithSixtyFourBitProducts)
    {
        struct ToSlider {
            std::uint32_t position, length, slider;
        };
        const ToSlider toSlider[] = {
            { 0, 100, 0 }, { 50, 100, 16383 }, // 16383.5 truncated
            { 99, 100, 32439 }, { 100, 100, kSliderMax }, // at the end
            { 200, 100, kSliderMax }, // past the end
            { 0, 0, kSliderMax }, // nothing to play
            { 0xFFFFFFFEu, 0xFFFFFFFFu, 32766 }, // the product needs 47 bits
        };
        for (const ToSlider& c : toSlider)
            EXPECT_EQ(SliderFromPosition(c.position, c.length), c.slider)
                << c.position << " of " << c.length;

        struct ToPosition {
            std::uint32_t slider, length, position;
        };
        const ToPosition toPosition[] = {
            { 0, 100000, 0 },
            { 1, 100000, 3 }, // steps of length / 32767
            { kSliderMax, 100000, 100000 },
            { 40000, 100000, 100000 }, // above the range counts as its top
            { 16384, 0xFFFFFFFFu, 2147549185u },
            { kSliderMax, 0xFFFFFFFFu, 0xFFFFFFFFu },
            { 12345, 0, 0 },
        };
        for (const ToPosition& c : toPosition)
            EXPECT_EQ(PositionFromSlider(c.slider, c.length), c.position)
                << c.slider << " of " << c.length;
    }

    TEST(PreviewSlider, AStoppedSliderQuantisesThePositionDownByLessThanOneStep)
    {
        std::mt19937 rng(3);
        for (int i = 0; i < 20000; ++i) {
            const std::uint32_t length = 1 + rng() % (i % 2 == 0 ? 1000000u : 0xFFFFFFFEu);
            const std::uint32_t position = rng() % length;
            const std::uint32_t back
                = PositionFromSlider(SliderFromPosition(position, length), length);
            ASSERT_LE(back, position);
            // One step of the slider is length / 32767 frames.
            ASSERT_LE(std::uint64_t { position - back } * kSliderMax,
                std::uint64_t { length } + kSliderMax)
                << position << " of " << length;
        }
    }

    TEST(PreviewStatus, ShowsTimesAndCountersOfEachMode)
    {
        struct Case {
            PreviewStatusValues values;
            const char* text;
        };
        const Case cases[] = {
            { { PreviewKind::kProject, 66150, 441000, 44100, 3, 17, 0, 0 },
                "Time 00:01.500 / 00:10.000\nActive track    3\nPolyphony      17" },
            // The position shown never passes the length.
            { { PreviewKind::kProject, 500000, 441000, 44100, 0, 0, 0, 0 },
                "Time 00:10.000 / 00:10.000\nActive track    0\nPolyphony       0" },
            { { PreviewKind::kProject, 44099, 5534550, 44100, 64, 4096, 0, 0 },
                "Time 00:00.999 / 02:05.500\nActive track   64\nPolyphony    4096" },
            { { PreviewKind::kSound, 12345, 48000, 48000, 0, 0, 100, 0xFFFFFFFFu },
                "Time 00:00.257 / 00:01.000\nPosition      12345\nLoop 100 - 4294967295" },
            { { PreviewKind::kSound, 90000, 48000, 48000, 0, 0, 0, 0 },
                "Time 00:01.000 / 00:01.000\nPosition      48000\nLoop 0 - 0" },
            // A rate of 0 shows zero times rather than dividing by it.
            { { PreviewKind::kProject, 5, 10, 0, 1, 1, 0, 0 },
                "Time 00:00.000 / 00:00.000\nActive track    1\nPolyphony       1" },
            // A rate above 4294967 Hz: the milliseconds' product needs more than 32 bits.
            { { PreviewKind::kProject, 8000000 + 4000000, 16000000, 8000000, 0, 0, 0, 0 },
                "Time 00:01.500 / 00:02.000\nActive track    0\nPolyphony       0" },
        };
        for (const Case& c : cases)
            EXPECT_EQ(FormatPreviewStatus(c.values), c.text);
    }

    TEST(SoundFill, CopiesLoopsAndFallsSilentAsTheRulesSay)
    {
        // Ten one-byte frames holding 1..10, loop 3..6.
        const std::vector<std::uint8_t> frames { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 };
        struct Case {
            const char* name;
            bool loop;
            std::uint64_t position;
            std::uint32_t count;
            std::vector<std::uint8_t> out;
            std::uint64_t next;
        };
        const Case cases[] = {
            { "up to loopEnd, then from loopBegin", true, 0, 8, { 1, 2, 3, 4, 5, 6, 4, 5 }, 5 },
            { "a buffer that ends at loopEnd", true, 0, 6, { 1, 2, 3, 4, 5, 6 }, 3 },
            { "several turns in one buffer", true, 4, 9, { 5, 6, 4, 5, 6, 4, 5, 6, 4 }, 4 },
            { "at loopEnd: on to the end", true, 6, 6, { 7, 8, 9, 10, 0, 0 }, 12 },
            { "loop off", false, 0, 8, { 1, 2, 3, 4, 5, 6, 7, 8 }, 8 },
            { "end of the sound", false, 8, 5, { 9, 10, 0, 0, 0 }, 13 },
            { "at the end", true, 10, 2, { 0, 0 }, 12 },
            { "past the end", true, 12, 3, { 0, 0, 0 }, 15 },
            { "past 2^32 frames", false, 0xFFFFFFFFull, 2, { 0, 0 }, 0x100000001ull },
        };
        SoundFrames sound;
        sound.samples = frames.data();
        sound.frameBytes = 1;
        sound.lengthFrames = 10;
        sound.loopBegin = 3;
        sound.loopEnd = 6;
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            std::vector<std::uint8_t> out(c.count + 1, 0xEE);
            EXPECT_EQ(FillSoundBuffer(sound, c.loop, c.position, out.data(), c.count), c.next);
            EXPECT_EQ(out.back(), 0xEE) << "written past the buffer";
            out.pop_back();
            EXPECT_EQ(out, c.out);
        }
    }

    TEST(SoundFill, IgnoresALoopThatCannotPlayAndWritesTheFormatsSilence)
    {
        const std::vector<std::uint8_t> frames { 0x10, 0x11, 0x20, 0x21, 0x30, 0x31 };
        SoundFrames sound;
        sound.samples = frames.data();
        sound.frameBytes = 2;
        sound.lengthFrames = 3;
        sound.silence = 0x80;
        struct Case {
            std::uint32_t loopBegin, loopEnd;
        };
        for (const Case c :
            { Case { 1, 4 }, Case { 2, 2 }, Case { 2, 1 }, Case { 0xFFFFFFFFu, 0xFFFFFFFFu } }) {
            sound.loopBegin = c.loopBegin;
            sound.loopEnd = c.loopEnd;
            EXPECT_FALSE(LoopPlayable(sound));
            std::vector<std::uint8_t> out(10);
            EXPECT_EQ(FillSoundBuffer(sound, true, 1, out.data(), 5), 6u);
            EXPECT_EQ(out,
                (std::vector<std::uint8_t> {
                    0x20, 0x21, 0x30, 0x31, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80 }));
        }
        // An empty sound plays silence only.
        SoundFrames empty;
        empty.frameBytes = 2;
        std::vector<std::uint8_t> out(4, 0xEE);
        EXPECT_EQ(FillSoundBuffer(empty, true, 0, out.data(), 2), 2u);
        EXPECT_EQ(out, (std::vector<std::uint8_t> { 0, 0, 0, 0 }));
    }

} // namespace
} // namespace vellisto::preview
