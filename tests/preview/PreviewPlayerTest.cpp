// SPDX-License-Identifier: MIT
// The preview player against a fake device with a virtual clock: the ring's
// lead, the frames handed over compared with the offline render, Play, Stop
// and the slider, the end of the material, sound mode with and without its
// loop, mute and solo, and the real-time rules of the feeder's step.

#include "preview/PreviewPlayer.h"

#include "FakeWaveOut.h"
#include "bounds/AllocationProbe.h"
#include "engine/EngineTestSupport.h"
#include "engine/RandomProject.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <thread>

namespace vellisto::test {
namespace {

    using preview::kSliderMax;
    using preview::PositionFromSlider;
    using preview::PreviewKind;
    using preview::PreviewPlayer;

    constexpr std::uint32_t kRate = 44100;

    // A player attached to a fake device; project mode unless told otherwise.
    struct Session {
        Session(const Project& project, PreviewKind kind = PreviewKind::kProject,
            std::uint32_t soundId = 0)
            : player(project, kind, soundId)
            , device(player.deviceFormat().blockAlign)
        {
            EXPECT_TRUE(player.prepare());
            EXPECT_TRUE(player.attach(device));
        }
        std::uint32_t b() const { return player.bufferFrames(); }

        // Steps of the feeder, each after the device played `frames` more,
        // until the preview ends by itself; the number of steps taken.
        int playToEnd(std::uint64_t frames, int maxSteps = 100000)
        {
            for (int step = 1; step <= maxSteps; ++step) {
                device.advance(frames);
                player.tick();
                if (!player.playing())
                    return step;
            }
            return -1;
        }
        void steps(int count, std::uint64_t frames)
        {
            for (int i = 0; i < count; ++i) {
                device.advance(frames);
                player.tick();
            }
        }
        // The frames of this play, after the leading buffer of silence.
        std::vector<std::int16_t> heard(std::size_t frames) const
        {
            const std::size_t frameBytes = player.deviceFormat().blockAlign;
            return Samples16(
                device.sinceReset, std::size_t { b() } * frameBytes, frames * frameBytes / 2);
        }

        PreviewPlayer player;
        FakeWaveOut device;
    };

    // Sawtooth samples that never repeat within a sound, so that any slip shows.
    std::vector<std::int16_t> Ramp(std::size_t samples, int start = 1)
    {
        std::vector<std::int16_t> out(samples);
        for (std::size_t i = 0; i < samples; ++i)
            out[i] = static_cast<std::int16_t>(start + static_cast<int>(i % 30000));
        return out;
    }

    std::vector<std::int16_t> OfflineRender(
        TestProject& project, std::uint32_t frames, bool honourMuteAndSolo = true)
    {
        return project.render(frames, honourMuteAndSolo);
    }

    TEST(PreviewPlayer, RingStaysTwoBuffersAheadOfThePlayedPosition)
    {
        struct Case {
            std::uint32_t bufferLength;
            std::uint32_t deviceStart; // frames the device needs before it plays
            std::uint32_t buffersAhead;
        };
        const Case cases[] = {
            { 1024, 0, 2 },
            { 4096, 0, 2 },
            { 1024, 2048, 2 },
            { 1024, 2049, 3 }, // a device that needs more than two buffers gets them
            { 2048, 7000, 4 },
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(::testing::Message() << c.bufferLength << " " << c.deviceStart);
            TestProject p(2);
            p.sound(0, Ramp(2 * 50000));
            p.settings().bufferLength = c.bufferLength;
            p.play(0, 0, 0).event(0, 4000000, EventType::kAllStop);
            PreviewPlayer player(p.project(), PreviewKind::kProject);
            ASSERT_TRUE(player.prepare());
            FakeWaveOut device(4);
            device.start = c.deviceStart;
            ASSERT_TRUE(player.attach(device));
            ASSERT_TRUE(player.play());
            const std::uint64_t b = c.bufferLength;
            const std::uint64_t lead = b * c.buffersAhead;
            std::mt19937 rng(7);
            for (int step = 0; step < 300; ++step) {
                // Before the device has been fed enough it plays nothing.
                // Steps of the clock shorter than the lead never starve the device.
                if (device.queuedFrames() >= c.deviceStart)
                    device.advance(rng() % lead);
                player.tick();
                const std::uint64_t written = device.queuedFrames();
                ASSERT_GE(written, device.played + lead) << "step " << step;
                ASSERT_LT(written, device.played + lead + b) << "step " << step;
                ASSERT_EQ(written % b, 0u);
            }
            EXPECT_EQ(player.starvedSteps(), 0u);
            // A stall longer than the lead lets the device run dry once.
            device.advance(10 * lead);
            player.tick();
            EXPECT_EQ(player.starvedSteps(), 1u);
        }
    }

    TEST(PreviewPlayer, FramesHandedToTheDeviceEqualTheOfflineRender)
    {
        for (std::uint32_t seed = 1; seed <= 12; ++seed) {
            SCOPED_TRACE(seed);
            std::mt19937 rng(seed);
            TestProject p = RandomProject(rng);
            Session s(p.project());
            const std::uint32_t channels = p.settings().outputFormat.channels;
            ASSERT_TRUE(s.player.play());
            // Uneven steps of the clock: what the device gets must not depend on them.
            std::uint64_t step = 0;
            while (s.player.playing() && step < 100000) {
                s.device.advance(1 + (step * 7919) % (2 * s.b()));
                s.player.tick();
                step += 1;
            }
            ASSERT_FALSE(s.player.playing());
            // Everything handed over after the leading silence, against the offline render.
            const std::size_t frames = s.device.queuedFrames() - s.b();
            const std::vector<std::int16_t> expected
                = OfflineRender(p, static_cast<std::uint32_t>(frames), true);
            ASSERT_EQ(s.heard(frames), expected);
            // The leading buffer is silence.
            const auto lead = Samples16(s.device.sinceReset, 0, std::size_t { s.b() } * channels);
            EXPECT_EQ(lead, std::vector<std::int16_t>(lead.size(), 0));
        }
    }

    TEST(PreviewPlayer, EndsAtTheFirstBufferPastOneSecondAfterTheLastEvent)
    {
        struct Case {
            std::uint32_t lastEvent;
            std::uint32_t bufferLength;
            std::uint32_t rate;
        };
        const Case cases[] = {
            { 0, 1024, kRate },
            { 10000, 1024, kRate },
            { 44100, 4096, kRate },
            { 3 * 4096 - 44100 % 4096, 4096, kRate }, // length + rate on a buffer boundary
            { 96000, 2048, 48000 },
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.lastEvent);
            TestProject p(1);
            p.settings().outputFormat.samplesPerSecond = c.rate;
            CompleteOutputFormat(p.settings().outputFormat);
            p.settings().bufferLength = c.bufferLength;
            p.sound(0, Ramp(500));
            p.play(0, 0, 0).event(1, c.lastEvent, EventType::kVolume, 512);
            Session s(p.project());
            ASSERT_TRUE(s.player.play());
            // One buffer per step after the first: the end falls in the step
            // whose filling takes the mix past length + rate.
            s.playToEnd(c.bufferLength);
            const std::uint64_t end = std::uint64_t { c.lastEvent } + c.rate;
            const std::uint64_t buffers = std::max<std::uint64_t>(2, end / c.bufferLength + 1);
            EXPECT_EQ(s.device.queuedFrames(), buffers * c.bufferLength);

            // The display completes the stop: slider at the end, the time held at the length.
            const preview::PreviewDisplay shown = s.player.refresh();
            EXPECT_FALSE(shown.playing);
            EXPECT_TRUE(shown.moveSlider);
            EXPECT_EQ(shown.slider, kSliderMax);
            const auto seconds = c.lastEvent / c.rate;
            char time[32];
            std::snprintf(time, sizeof time, "/ %02u:%02u.%03u", seconds / 60, seconds % 60,
                static_cast<unsigned>(std::uint64_t { c.lastEvent % c.rate } * 1000 / c.rate));
            EXPECT_NE(
                shown.text.find(std::string("Time ") + (time + 2) + " " + time), std::string::npos)
                << shown.text;
            EXPECT_EQ(s.device.sinceReset.size(), 0u); // the device was reset
        }
    }

    TEST(PreviewPlayer, StopWhilePlayingKeepsThePositionAndStopWhileStoppedRewinds)
    {
        TestProject p(2);
        p.sound(0, Ramp(2 * 100000));
        p.settings().bufferLength = 1024;
        p.play(0, 0, 0).event(0, 300000, EventType::kAllStop);
        Session s(p.project());
        ASSERT_TRUE(s.player.play());
        s.steps(40, 1024);
        // The mix is a few buffers ahead of what was heard; the position kept
        // is the mix position before the last filling.
        const std::uint64_t queued = s.device.queuedFrames();
        const preview::PreviewDisplay stopped = s.player.stop();
        EXPECT_FALSE(stopped.playing);
        ASSERT_TRUE(stopped.moveSlider);
        const std::uint32_t kept = static_cast<std::uint32_t>(queued - s.b());
        EXPECT_EQ(stopped.slider, preview::SliderFromPosition(kept, 300000));
        EXPECT_NE(stopped.text.find("Active track    1\nPolyphony       1"), std::string::npos)
            << stopped.text;
        EXPECT_EQ(s.device.pauses, 1);
        EXPECT_EQ(s.device.sinceReset.size(), 0u);

        // Stopped: the display takes the position from the slider (quantised).
        s.player.tick(); // nothing happens while stopped
        EXPECT_EQ(s.device.sinceReset.size(), 0u);
        const preview::PreviewDisplay again = s.player.refresh();
        EXPECT_FALSE(again.moveSlider);
        const std::uint32_t quantised = PositionFromSlider(stopped.slider, 300000);
        EXPECT_NE(again.text.find(preview::FormatPreviewStatus(
                      { PreviewKind::kProject, quantised, 300000, kRate, 1, 1, 0, 0 })),
            std::string::npos)
            << again.text;

        // Play resumes from there.
        ASSERT_TRUE(s.player.play());
        s.steps(5, 1024);
        const std::vector<std::int16_t> offline = OfflineRender(p, quantised + 4 * 1024);
        EXPECT_EQ(s.heard(4 * 1024),
            std::vector<std::int16_t>(
                offline.begin() + 2 * quantised, offline.begin() + 2 * quantised + 8 * 1024));

        // Stop, then Stop again: back to 0 with the slider.
        s.player.stop();
        const preview::PreviewDisplay rewound = s.player.stop();
        EXPECT_TRUE(rewound.moveSlider);
        EXPECT_EQ(rewound.slider, 0u);
        EXPECT_EQ(rewound.text.substr(0, 14), "Time 00:00.000");
        ASSERT_TRUE(s.player.play());
        s.steps(4, 1024);
        EXPECT_EQ(s.heard(2 * 1024),
            std::vector<std::int16_t>(offline.begin(), offline.begin() + 4 * 1024));
    }

    TEST(PreviewPlayer, SeekBySliderThenPlayEqualsTheOfflineRenderFromThatFrame)
    {
        TestProject p(2);
        p.sound(0, Ramp(2 * 30000));
        SoundSlot& looping = p.sound(1, Ramp(2 * 7000, -9000));
        looping.loopBegin = 1000;
        looping.loopEnd = 6000;
        p.settings().bufferLength = 2048;
        p.settings().mixingInterpolation = static_cast<std::uint32_t>(Interpolation::kSinc);
        for (std::uint32_t t = 0; t < 200000; t += 15000)
            p.play(t % 3, t, t % 2, 900, kPitchOne + t * 31);
        p.event(3, 200000, EventType::kAllStop);
        const std::uint32_t length = 200000;
        for (const std::uint32_t slider : { 0u, 1u, 4000u, 16384u, 32766u, kSliderMax }) {
            SCOPED_TRACE(slider);
            Session s(p.project());
            s.player.setSlider(slider);
            s.player.refresh();
            ASSERT_TRUE(s.player.play());
            s.steps(12, 2048);
            const std::uint32_t from = PositionFromSlider(slider, length);
            const std::vector<std::int16_t> offline = OfflineRender(p, from + 10 * 2048);
            EXPECT_EQ(s.heard(10 * 2048),
                std::vector<std::int16_t>(
                    offline.begin() + 2 * std::size_t { from }, offline.end()));
        }
    }

    TEST(PreviewPlayer, MutedTracksAreSilentAndSoloedTracksPlayAlone)
    {
        struct Case {
            std::uint32_t flags[3];
            bool sounding[3];
        };
        const Case cases[] = {
            { { 0, 0, 0 }, { true, true, true } },
            { { kTrackMuted, 0, 0 }, { false, true, true } },
            { { kTrackMuted, kTrackMuted, kTrackMuted }, { false, false, false } },
            { { 0, kTrackSolo, 0 }, { false, true, false } },
            { { kTrackSolo, kTrackMuted | kTrackSolo, kTrackMuted }, { true, true, false } },
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(::testing::Message() << c.flags[0] << c.flags[1] << c.flags[2]);
            auto build = [&](bool withFlags, const bool* keep) {
                TestProject p(1);
                p.settings().bufferLength = 1024;
                for (std::uint32_t t = 0; t < 3; ++t) {
                    p.sound(t, Ramp(9000, 100 + 1000 * static_cast<int>(t)));
                    if (keep == nullptr || keep[t])
                        p.play(t, 500 * t, t, 300).play(t, 20000 + 700 * t, t, 300);
                    if (withFlags)
                        p.project().tracks[t].flags = c.flags[t];
                }
                p.event(3, 30000, EventType::kAllStop); // the same length for every case
                return p;
            };
            TestProject flagged = build(true, nullptr);
            Session s(flagged.project());
            ASSERT_TRUE(s.player.play());
            s.playToEnd(1024);
            // The reference: the offline mix of a project holding only the sounding tracks.
            TestProject only = build(false, c.sounding);
            const std::size_t frames = s.device.queuedFrames() - s.b();
            EXPECT_EQ(
                s.heard(frames), OfflineRender(only, static_cast<std::uint32_t>(frames), false));
        }
    }

    TEST(PreviewPlayer, SoundModeRepeatsTheLoopOnlyWhileTheBoxIsTicked)
    {
        struct Case {
            const char* name;
            std::uint32_t frames; // of the sound
            std::uint32_t loopBegin;
            std::uint32_t loopEnd;
            bool loopBox;
            bool loops; // expected: repeats for ever
        };
        const Case cases[] = {
            { "short loop", 3000, 500, 700, true, true },
            { "loop longer than a buffer", 9000, 100, 8000, true, true },
            { "loop to the end of the sound", 5000, 2000, 5000, true, true },
            { "one-frame loop", 2000, 1500, 1501, true, true },
            { "box unticked", 3000, 500, 700, false, false },
            { "loop past the end", 3000, 500, 3001, true, false },
            { "empty loop", 3000, 700, 700, true, false },
            { "no loop", 3000, kNoLoop, kNoLoop, true, false },
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            TestProject p(1);
            p.settings().bufferLength = 1024;
            SoundSlot& slot = p.sound(5, Ramp(c.frames, 7));
            slot.loopBegin = c.loopBegin;
            slot.loopEnd = c.loopEnd;
            Session s(p.project(), PreviewKind::kSound, 5);
            EXPECT_EQ(s.player.lengthFrames(), c.frames);
            EXPECT_EQ(s.player.loopAvailable(), c.loopBegin < c.loopEnd && c.loopEnd <= c.frames);
            s.player.setLoopEnabled(c.loopBox);
            ASSERT_TRUE(s.player.play());

            // What should be heard frame by frame.
            const std::vector<std::int16_t> sound = Ramp(c.frames, 7);
            auto expectedAt = [&](std::uint64_t i) -> std::int16_t {
                if (c.loops && i >= c.loopEnd)
                    i = c.loopBegin + (i - c.loopEnd) % (c.loopEnd - c.loopBegin);
                return i < c.frames ? sound[i] : 0;
            };
            const int steps = s.playToEnd(1024, 200);
            if (c.loops) {
                EXPECT_EQ(steps, -1) << "a looping sound never ends";
            } else {
                // Ends in the step that reads past length + one second.
                const std::uint64_t buffers = (std::uint64_t { c.frames } + kRate) / 1024 + 1;
                EXPECT_EQ(s.device.queuedFrames(), buffers * 1024);
            }
            const std::size_t frames = s.device.queuedFrames() - s.b();
            const std::vector<std::int16_t> heard = s.heard(frames);
            ASSERT_EQ(heard.size(), frames);
            for (std::size_t i = 0; i < frames; ++i)
                ASSERT_EQ(heard[i], expectedAt(i)) << "frame " << i;
            if (c.loops) {
                const preview::PreviewDisplay shown = s.player.refresh();
                EXPECT_TRUE(shown.playing);
                char loop[64];
                std::snprintf(loop, sizeof loop, "\nLoop %u - %u", c.loopBegin, c.loopEnd);
                EXPECT_NE(shown.text.find(loop), std::string::npos) << shown.text;
            }
        }
    }

    TEST(PreviewPlayer, UntickingTheLoopPlaysOnFromWhereTheSoundIsToItsEnd)
    {
        TestProject p(1);
        p.settings().bufferLength = 1024;
        SoundSlot& slot = p.sound(0, Ramp(4000, 3));
        slot.loopBegin = 1000;
        slot.loopEnd = 3000;
        Session s(p.project(), PreviewKind::kSound, 0);
        s.player.setLoopEnabled(true);
        ASSERT_TRUE(s.player.play());
        s.steps(10, 1024); // a few turns of the loop
        s.player.setLoopEnabled(false);
        const std::size_t before = s.device.queuedFrames() - s.b();
        ASSERT_GT(s.playToEnd(1024), 0);
        const std::vector<std::int16_t> heard = s.heard(s.device.queuedFrames() - s.b());
        const std::vector<std::int16_t> sound = Ramp(4000, 3);
        // The buffer that was already filled still loops; from the next one on,
        // the sound plays to its end and silence follows.
        std::size_t i = before + 1024;
        std::uint64_t at = 1000 + (i - 3000) % 2000; // where the loop had reached
        for (; i < heard.size(); ++i, ++at)
            ASSERT_EQ(heard[i], at < 4000 ? sound[at] : 0) << "frame " << i;
    }

    TEST(PreviewPlayer, EightBitSoundsFallSilentAtTheirMiddleValue)
    {
        TestProject p(1);
        p.settings().bufferLength = 1024;
        SoundSlot& slot = p.sound(0, std::vector<std::int16_t>(300, 0x1111)); // 600 bytes
        slot.dataFormat.bitsPerSample = 8;
        CompleteOutputFormat(slot.dataFormat);
        Session s(p.project(), PreviewKind::kSound, 0);
        EXPECT_EQ(s.player.lengthFrames(), 600u);
        ASSERT_TRUE(s.player.play());
        s.steps(3, 1024);
        const std::vector<std::uint8_t>& bytes = s.device.sinceReset;
        ASSERT_GE(bytes.size(), 3u * 1024);
        for (std::size_t i = 0; i < 3 * 1024; ++i) {
            const bool sound = i >= 1024 && i < 1024 + 600;
            ASSERT_EQ(bytes[i], sound ? 0x11 : 0x80) << "byte " << i;
        }
    }

    TEST(PreviewPlayer, AMixThatCannotGoOnEndsInsteadOfRepeatingOldBuffers)
    {
        TestProject p(1);
        p.settings().bufferLength = 1024;
        p.sound(0, Ramp(100000));
        // The last Play sounds through every buffer up to the end of the frame numbers.
        p.play(0, 0, 0).play(0, 0xFFFFE000u, 0);
        Session s(p.project());
        s.player.setSlider(kSliderMax - 1);
        s.player.refresh();
        ASSERT_TRUE(s.player.play());
        EXPECT_GT(s.playToEnd(1024, 400), 0) << "the preview ends";
        // The mix stops short of 2^32 frames, and so does the preview: the
        // ring's older buffers are never handed over again.
        const std::vector<std::int16_t> heard = s.heard(s.device.queuedFrames() - s.b());
        const std::uint32_t from = PositionFromSlider(kSliderMax - 1, 0xFFFFE000u);
        const std::size_t rendered = (0xFFFFFFFEull - from) / 1024 * 1024;
        ASSERT_NE(heard[rendered - 1], 0) << "the sound plays up to the last full render";
        EXPECT_EQ(heard.size(), rendered) << "only rendered frames reach the device";
    }

    TEST(PreviewPlayer, AFailingDeviceStopsPlayAndARefusedBufferIsOfferedAgain)
    {
        TestProject p(1);
        p.settings().bufferLength = 1024;
        p.sound(0, Ramp(20000));
        p.play(0, 0, 0).event(0, 20000, EventType::kAllStop);
        Session s(p.project());
        s.device.failing = true;
        EXPECT_FALSE(s.player.play());
        EXPECT_FALSE(s.player.playing());
        s.device.failing = false;

        // A device with room for one buffer only takes the next when one has played.
        s.device.capacityBytes = 2 * 1024;
        ASSERT_TRUE(s.player.play());
        s.player.tick();
        EXPECT_EQ(s.device.queuedFrames(), 1024u);
        s.player.tick();
        EXPECT_EQ(s.device.queuedFrames(), 1024u);
        s.device.capacityBytes = static_cast<std::size_t>(-1);
        s.steps(30, 1024);
        const std::size_t frames = s.device.queuedFrames() - s.b();
        EXPECT_EQ(s.heard(frames), OfflineRender(p, static_cast<std::uint32_t>(frames)));
    }

    TEST(PreviewPlayer, TheFeederStepAllocatesNothing)
    {
        for (const PreviewKind kind : { PreviewKind::kProject, PreviewKind::kSound }) {
            TestProject p(2);
            p.settings().mixingInterpolation = static_cast<std::uint32_t>(Interpolation::kSinc);
            p.settings().bufferLength = 1024;
            SoundSlot& slot = p.sound(0, Ramp(2 * 5000));
            slot.loopBegin = 100;
            slot.loopEnd = 4000;
            for (std::uint32_t t = 0; t < 64; ++t)
                p.play(t, t * 100, 0, 1024, kPitchOne + t * 100000);
            p.event(0, 1000000, EventType::kAllStop);
            Session s(p.project(), kind, 0);
            s.player.setLoopEnabled(true);
            ASSERT_TRUE(s.player.play());
            s.steps(2, 1024); // the device's record grows in its reserve
            vellisto::testing::AllocationProbe probe;
            s.steps(60, 1024);
            EXPECT_EQ(probe.counts().calls, 0u);
            EXPECT_TRUE(s.player.playing());
        }
    }

    TEST(PreviewPlayer, StopWaitsForTheFeederStepInProgressBeforeTouchingTheDevice)
    {
        TestProject p(1);
        p.settings().bufferLength = 1024;
        p.sound(0, Ramp(20000));
        p.play(0, 0, 0).event(0, 90000, EventType::kAllStop);
        Session s(p.project());
        ASSERT_TRUE(s.player.play());
        std::atomic<bool> inside { false };
        s.device.duringWrite = [&] {
            // Hold the step inside the device while the dialog presses Stop.
            inside.store(true);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        };
        std::thread feeder([&] { s.player.tick(); });
        while (!inside.load())
            std::this_thread::yield();
        s.player.stop();
        feeder.join();
        EXPECT_EQ(s.device.callsDuringWrite.load(), 0);
        EXPECT_EQ(s.device.writes.load(), 1) << "the step stopped filling once asked";
        EXPECT_FALSE(s.player.playing());
        // The step was handed back: the dialog owns everything again.
        s.device.duringWrite = nullptr;
        ASSERT_TRUE(s.player.play());
        s.steps(3, 1024);
        EXPECT_EQ(s.heard(1024), OfflineRender(p, 1024));
    }

} // namespace
} // namespace vellisto::test
