// SPDX-License-Identifier: MIT
// Properties of the engine over generated projects: rendering is repeatable,
// independent of how a render is cut into calls, seeking (forward, backward,
// in steps) leaves exactly the state that rendering leaves, and a copied
// state continues identically.

#include "RandomProject.h"

#include <gtest/gtest.h>
#include <memory>

using namespace vellisto;
using vellisto::test::RandomProject;
using vellisto::test::RandomProjectShape;
using vellisto::test::TestProject;
using V = std::vector<std::int16_t>;

namespace {

V Tail(const V& frames, std::uint32_t fromFrame, std::uint32_t channels)
{
    return V(frames.begin() + static_cast<std::ptrdiff_t>(fromFrame * channels), frames.end());
}

std::unique_ptr<MixState> CopyState(const MixState& state)
{
    return std::make_unique<MixState>(state);
}

// Targets worth seeking to: random frames, event times and the frames around them.
std::vector<std::uint32_t> Targets(std::mt19937& rng, const Project& project, std::uint32_t length)
{
    std::vector<std::uint32_t> targets { 0, length };
    for (int i = 0; i < 4; ++i)
        targets.push_back(static_cast<std::uint32_t>(rng() % (length + 1)));
    for (const Track& track : project.tracks) {
        if (track.count > 0 && targets.size() < 10) {
            const std::uint32_t t = track.events[rng() % track.count].time;
            for (std::uint32_t near : { t, t + 1, t == 0 ? 0 : t - 1 })
                if (near <= length)
                    targets.push_back(near);
        }
    }
    return targets;
}

void CheckProperties(TestProject& p, std::mt19937& rng, std::uint32_t length)
{
    Project& project = p.project();
    MixState& state = p.state();
    const bool honour = rng() % 2 == 0;
    const V whole = p.render(length, honour);
    const std::uint32_t channels = state.settings.outputFormat.channels;
    ASSERT_EQ(p.render(length, honour), whole) << "a second render differs";

    // The same frames in random pieces.
    p.render(0, honour);
    V pieces;
    for (std::uint32_t done = 0; done < length;) {
        const std::uint32_t n
            = std::min<std::uint32_t>(length - done, static_cast<std::uint32_t>(rng() % 3000));
        const V part = p.renderMore(n);
        pieces.insert(pieces.end(), part.begin(), part.end());
        done += n;
    }
    ASSERT_EQ(pieces, whole) << "rendering in pieces differs";

    for (const std::uint32_t target : Targets(rng, project, length)) {
        SCOPED_TRACE(target);
        const V expectedTail = Tail(whole, target, channels);
        p.render(target, honour);
        const std::unique_ptr<MixState> rendered = CopyState(state);

        // A copied state continues identically.
        const V afterRender = p.renderMore(length - target);
        ASSERT_EQ(afterRender, expectedTail);
        state = *rendered;
        ASSERT_EQ(p.renderMore(length - target), expectedTail)
            << "a copied state continues differently";

        // Seeking back from the end.
        ASSERT_TRUE(engine::SeekMix(project, state, target));
        ASSERT_TRUE(SameMixState(state, *rendered)) << "seeking back";
        ASSERT_EQ(p.renderMore(length - target), expectedTail) << "seeking back";

        // Seeking forward from the start, in one step and in two.
        ASSERT_TRUE(engine::PrepareMix(project, state, honour));
        ASSERT_TRUE(engine::SeekMix(project, state, 0));
        ASSERT_TRUE(engine::SeekMix(project, state, target));
        ASSERT_TRUE(SameMixState(state, *rendered)) << "seeking forward";
        ASSERT_TRUE(engine::PrepareMix(project, state, honour));
        ASSERT_TRUE(engine::SeekMix(project, state, target / 3));
        ASSERT_TRUE(engine::SeekMix(project, state, target));
        ASSERT_TRUE(SameMixState(state, *rendered)) << "seeking in two steps";
        ASSERT_EQ(p.renderMore(length - target), expectedTail) << "seeking forward";
    }
}

} // namespace

TEST(MixProperties, SeekingAndRenderingAgreeOnRandomProjects)
{
    for (std::uint32_t seed = 1; seed <= 200; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        TestProject p = RandomProject(rng);
        CheckProperties(p, rng, 1 + static_cast<std::uint32_t>(rng() % 2000));
        if (HasFatalFailure())
            return;
    }
}

TEST(MixProperties, SeekingAndRenderingAgreeOnCrowdedTracks)
{
    // Many voices at once: voices end in different frames of one stretch and
    // are compacted in between.
    const RandomProjectShape shape { .maxTime = 2000, .maxEventsPerTrack = 150, .crowded = true };
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(500 + seed);
        TestProject p = RandomProject(rng, shape);
        p.settings().mixingInterpolation %= 2; // the kernels do not change voice state
        CheckProperties(p, rng, 2000);
        if (HasFatalFailure())
            return;
    }
}

TEST(MixProperties, LongSkipsOverLoopingVoicesAgreeWithRendering)
{
    // Few events spread over a long time: voices loop through many wraps and
    // long envelope phases between events.
    const RandomProjectShape shape { .maxTime = 60000, .maxSoundFrames = 500, .longSounds = true };
    for (std::uint32_t seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(1000 + seed);
        TestProject p = RandomProject(rng, shape);
        p.settings().mixingInterpolation = static_cast<std::uint32_t>(Interpolation::kNone);
        CheckProperties(p, rng, 70000);
        if (HasFatalFailure())
            return;
    }
}

TEST(MixProperties, SeekOfAWrappingStepMatchesFrameByFrameMotion)
{
    // Steps of 255 frames and more wrap the 32-bit fraction sum: such a voice
    // moves 255 frames in some frames and none in others. Voices of long
    // sounds at these steps, between voices at unity pitch, run out at
    // different frames of one long stretch; the seek must move, end and
    // compact them exactly as rendering does.
    for (const std::uint32_t step : { 0xFF000000u, 0xFF000001u, 0xFF800000u, 0xFFF00000u,
             0xFFFF0000u, 0xFFFFC000u, 0xFFFFFFFFu }) {
        SCOPED_TRACE(step);
        TestProject p(1);
        p.settings().mixingInterpolation = static_cast<std::uint32_t>(Interpolation::kNone);
        for (std::uint32_t id = 0; id < 6; ++id) {
            std::vector<std::int16_t> samples(20000 + id * 7919);
            for (std::size_t i = 0; i < samples.size(); ++i)
                samples[i] = static_cast<std::int16_t>(i % 1000 + id);
            p.sound(id, samples).pitch = id % 2 == 0 ? step : kPitchOne;
            p.play(0, 3 + id, id);
        }
        p.play(0, 5000, 0).stop(0, 100000, 0);
        std::mt19937 rng(step);
        CheckProperties(p, rng, 100100);
        if (HasFatalFailure())
            return;
    }
}

TEST(MixProperties, SeekCompactsVoicesInTheOrderRenderingDoes)
{
    // Five voices in slots 0..4; the one in slot 0 runs out at frame 10 and the
    // one in slot 2 at frame 20. Rendering compacts after each of those frames
    // (slot 4 moves to 0, then slot 3 to 2); a seek over both must do the same,
    // so that a later "Play newer" tie would replace the same voice.
    for (const bool byEnvelope : { false, true }) {
        SCOPED_TRACE(byEnvelope);
        TestProject p(1);
        const std::uint32_t lengths[] = { 10, 100, 20, 100, 100 };
        for (std::uint32_t id = 0; id < 5; ++id) {
            SoundSlot& s = p.sound(id,
                std::vector<std::int16_t>(
                    byEnvelope ? 100 : lengths[id], static_cast<std::int16_t>(1 << id)));
            if (byEnvelope && lengths[id] < 100)
                s.sustainTime = lengths[id];
            p.play(0, 0, id);
        }
        std::mt19937 rng(7);
        CheckProperties(p, rng, 60);
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(engine::PrepareMix(p.project(), p.state(), false));
        ASSERT_TRUE(engine::SeekMix(p.project(), p.state(), 30));
        const TrackMixState& track = p.state().tracks[0];
        ASSERT_EQ(track.slotCount, 3u);
        EXPECT_EQ(track.voices[0].soundId, 4u);
        EXPECT_EQ(track.voices[1].soundId, 1u);
        EXPECT_EQ(track.voices[2].soundId, 3u);
    }
}
