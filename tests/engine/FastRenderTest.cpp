// SPDX-License-Identifier: MIT
// The fast track loops, in every instruction set and on a pool of threads,
// against the reference loops: generated projects (every interpolation, mono
// and stereo, loops, envelopes, links, stops, pitch and stress changes,
// full-scale samples, gains large enough to wrap the sums), rendered in
// random pieces, must give the same samples and the same engine state after
// every piece. Any difference is a failure.

#include "RandomProject.h"
#include "engine/RenderPool.h"

#include <gtest/gtest.h>
#include <memory>
#include <sstream>

using namespace vellisto;
using vellisto::test::RandomProject;
using vellisto::test::RandomProjectShape;
using vellisto::test::TestProject;

namespace {

// One way of computing a mix.
struct Way {
    audio::KernelPath path = audio::KernelPath::kFast;
    audio::VectorIsa isa = audio::VectorIsa::kPortable;
    std::uint32_t threads = 1;

    std::string name() const
    {
        std::ostringstream text;
        text << (path == audio::KernelPath::kFast ? "fast" : "reference") << ", instruction set "
             << static_cast<int>(isa) << ", " << threads << " threads";
        return text.str();
    }
};

const Way kReference { audio::KernelPath::kReference, audio::VectorIsa::kPortable, 1 };

// The fast loops in every instruction set this processor runs, alone and on
// pools of threads; the reference loops on a pool too.
std::vector<Way> WaysToCheck()
{
    std::vector<Way> ways;
    for (const auto isa : audio::SupportedVectorIsas())
        ways.push_back({ audio::KernelPath::kFast, isa, 1 });
    ways.push_back({ audio::KernelPath::kFast, audio::DetectedVectorIsa(), 3 });
    ways.push_back({ audio::KernelPath::kReference, audio::VectorIsa::kPortable, 2 });
    return ways;
}

struct Rendering {
    std::vector<std::int16_t> samples;
    std::vector<std::unique_ptr<MixState>> states; // after each piece
};

// Prepares the mix, then renders it in the given pieces the given way.
Rendering RenderWay(
    TestProject& p, const Way& way, bool honour, const std::vector<std::uint32_t>& pieces)
{
    Project& project = p.project();
    Rendering out;
    MixState& state = p.state();
    if (!engine::PrepareMix(project, state, honour))
        return out;
    engine::RenderSetup& setup = p.setup();
    setup = { way.path, way.isa, nullptr };
    engine::RenderPool pool(way.threads);
    if (way.threads > 1) {
        EXPECT_TRUE(pool.reserve(std::size_t { state.settings.bufferLength } * 2));
        setup.pool = &pool;
    }
    engine::SeekMix(project, state, 0);
    for (const std::uint32_t frames : pieces) {
        const auto part = p.renderMore(frames);
        out.samples.insert(out.samples.end(), part.begin(), part.end());
        out.states.push_back(std::make_unique<MixState>(state));
    }
    setup.pool = nullptr;
    return out;
}

// Renders the project the reference way and every other way; they must agree.
void CheckAgainstReference(TestProject& p, std::mt19937& rng, std::uint32_t length)
{
    const bool honour = rng() % 2 == 0;
    std::vector<std::uint32_t> pieces;
    for (std::uint32_t done = 0; done < length;) {
        const std::uint32_t n
            = std::min<std::uint32_t>(length - done, 1 + static_cast<std::uint32_t>(rng() % 5000));
        pieces.push_back(n);
        done += n;
    }
    const Rendering expected = RenderWay(p, kReference, honour, pieces);
    for (const Way& way : WaysToCheck()) {
        SCOPED_TRACE(way.name());
        const Rendering actual = RenderWay(p, way, honour, pieces);
        ASSERT_EQ(actual.states.size(), expected.states.size());
        for (std::size_t i = 0; i < expected.states.size(); ++i)
            ASSERT_TRUE(SameMixState(*actual.states[i], *expected.states[i]))
                << "after piece " << i;
        ASSERT_EQ(actual.samples, expected.samples);
    }
}

} // namespace

TEST(FastRender, MatchesTheReferenceOnRandomProjects)
{
    std::mt19937 rng(2024);
    const RandomProjectShape shapes[] = {
        {},
        { 3000, 2000, true, 40, false },
        { 1200, 400, false, 60, true },
    };
    for (int round = 0; round < 12; ++round) {
        for (const RandomProjectShape& shape : shapes) {
            TestProject p = RandomProject(rng, shape);
            for (std::uint32_t interpolation = 0; interpolation <= 3; ++interpolation) {
                SCOPED_TRACE(
                    testing::Message() << "round " << round << ", interpolation " << interpolation);
                p.settings().mixingInterpolation = interpolation;
                CheckAgainstReference(p, rng, shape.maxTime + 200);
                if (HasFatalFailure())
                    return;
            }
        }
    }
}

TEST(FastRender, MatchesTheReferenceOnDenseTracksWithWrappingSums)
{
    // Every track full of voices on long looping sounds of full-scale noise,
    // at random pitches (steps that wrap the fraction sum among them), with
    // envelopes, and gains far beyond unity so that voice, track and
    // accumulator sums wrap; pitch and stress changes and stops on the way.
    std::mt19937 rng(77);
    for (const std::uint16_t channels : { 1, 2 }) {
        for (std::uint32_t interpolation = 0; interpolation <= 3; ++interpolation) {
            SCOPED_TRACE(
                testing::Message() << channels << " channels, interpolation " << interpolation);
            TestProject p(channels);
            ProjectSettings& s = p.settings();
            s.mixingInterpolation = interpolation;
            s.soundCountPerTrack = 12;
            s.bufferLength = 1024;
            s.masterVolume = 1 + rng() % 4096;
            for (std::uint32_t id = 0; id < 8; ++id) {
                std::vector<std::int16_t> samples((300 + rng() % 600) * channels);
                for (std::int16_t& v : samples)
                    v = static_cast<std::int16_t>(rng() % 4 == 0
                            ? (rng() % 2 == 0 ? -32768 : 32767)
                            : static_cast<int>(rng() % 65536) - 32768);
                SoundSlot& sound = p.sound(id, samples);
                sound.volume = id % 3 == 0 ? 262144 : 1024 + rng() % 20000;
                sound.pitch = id == 5 ? 0xFF800000u : kPitchOne / 2 + rng() % (kPitchOne * 2);
                sound.loopBegin = id % 4 == 0 ? kNoLoop : static_cast<std::uint32_t>(rng() % 200);
                sound.loopEnd = id % 4 == 0 ? kNoLoop : sound.loopBegin + 1 + rng() % 100;
                sound.attackTime = id % 2 == 0 ? 0 : rng() % 300;
                sound.sustainTime = id % 3 == 1 ? rng() % 900 : 0;
                sound.releaseTime = rng() % 200;
                sound.stopEventMode = rng() % 4;
            }
            for (std::uint32_t track = 0; track < kTrackCount; track += 1 + rng() % 3) {
                for (int v = 0; v < 14; ++v)
                    p.play(track, rng() % 400, rng() % 8, 1 + rng() % 8192,
                        kPitchOne / 2 + rng() % (kPitchOne * 3 / 2));
                p.event(track, 200 + rng() % 600, EventType::kPitch, kPitchOne + rng() % kPitchOne);
                p.event(track, 200 + rng() % 600, EventType::kStress, rng() % 100000);
                p.event(track, 200 + rng() % 600, EventType::kVolume, rng());
                p.event(track, 200 + rng() % 600, EventType::kBalance, rng() % 1025);
                p.stop(track, 300 + rng() % 500, rng() % 8);
                p.event(track, 2000, EventType::kVolume, 1024);
            }
            CheckAgainstReference(p, rng, 1500);
            if (HasFatalFailure())
                return;
        }
    }
}

TEST(FastRender, ContinuesLikeTheReferenceAfterASeek)
{
    // A seek leaves stale slots behind the voices (the slot count is
    // corrected by the first compaction); rendering on from there must still agree.
    std::mt19937 rng(31);
    for (int round = 0; round < 20; ++round) {
        TestProject p = RandomProject(rng, { 2000, 1500, true, 40, true });
        const std::uint32_t first = rng() % 1500;
        const std::uint32_t back = rng() % (first + 1);
        std::vector<std::int16_t> results[2];
        for (const auto path : { audio::KernelPath::kReference, audio::KernelPath::kFast }) {
            Project& project = p.project();
            ASSERT_TRUE(engine::PrepareMix(project, p.state(), false));
            p.setup() = { path, audio::DetectedVectorIsa(), nullptr };
            engine::SeekMix(project, p.state(), 0);
            p.renderMore(first);
            engine::SeekMix(project, p.state(), back);
            results[path == audio::KernelPath::kFast] = p.renderMore(800);
        }
        ASSERT_EQ(results[1], results[0]) << "round " << round;
    }
}
