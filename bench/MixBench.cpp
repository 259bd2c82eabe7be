// SPDX-License-Identifier: MIT
// Mixing speed: a generated project of 64 tracks with 16 looping voices each
// at random pitches, rendered block by block with every interpolation, mono
// and stereo. Reports voice-frames per second (voices x frames rendered).

#include "audio/SincTables.h"
#include "engine/FixedPoint.h"
#include "engine/Mixer.h"
#include "model/EventList.h"
#include "model/Project.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <random>
#include <vector>

namespace {

using namespace vellisto;

constexpr std::uint32_t kVoicesEach = 16;
constexpr std::uint32_t kSounds = 32;
constexpr std::uint32_t kSoundFrames = 88200;
constexpr std::uint32_t kBlock = 4096;

std::unique_ptr<Project> MakeProject(std::uint16_t channels, Interpolation interpolation)
{
    std::unique_ptr<Project> project = CreateProject();
    ProjectSettings& s = project->settings;
    s.outputFormat.channels = channels;
    CompleteOutputFormat(s.outputFormat);
    s.mixingInterpolation = static_cast<std::uint32_t>(interpolation);
    s.soundCountPerTrack = kVoicesEach;
    s.bufferLength = kBlock;

    std::mt19937 rng(12345);
    std::vector<std::int16_t> samples(std::size_t { kSoundFrames } * channels);
    for (std::uint32_t id = 0; id < kSounds; ++id) {
        for (std::int16_t& v : samples)
            v = static_cast<std::int16_t>(static_cast<int>(rng() % 16001) - 8000);
        SoundSlot& sound = project->sounds[id];
        sound.samples = AllocateSampleBlock(samples.size() * 2);
        std::memcpy(sound.samples, samples.data(), samples.size() * 2);
        sound.sampleBytes = static_cast<std::uint32_t>(samples.size() * 2);
        sound.dataFormat = s.outputFormat;
        sound.volume = 1024;
        sound.pitch = kPitchOne;
        sound.loopBegin = 0; // loops over everything: the voices never end
        sound.loopEnd = kSoundFrames;
    }
    for (Track& track : project->tracks) {
        for (std::uint32_t v = 0; v < kVoicesEach; ++v) {
            // Pitches from 0.5 to 2.0, so that fractions cover every phase.
            const std::uint32_t pitch
                = kPitchOne / 2 + static_cast<std::uint32_t>(rng() % (kPitchOne * 3 / 2));
            InsertSorted(track,
                Event { kEventExists, 0, EventTypeWord(EventType::kPlay),
                    static_cast<std::uint32_t>(rng() % kSounds), 64, pitch });
        }
        InsertSorted(track,
            Event { kEventExists, kMaxEditTime, EventTypeWord(EventType::kVolume), 1024, 0, 0 });
    }
    return project;
}

void Mix(benchmark::State& state)
{
    audio::BuildSincTables();
    const auto channels = static_cast<std::uint16_t>(state.range(1));
    std::unique_ptr<Project> project
        = MakeProject(channels, static_cast<Interpolation>(state.range(0)));
    engine::PrepareMix(*project, false);
    engine::SeekMix(*project, 0);
    std::vector<std::int16_t> out(std::size_t { kBlock } * channels);
    for (auto _ : state) {
        engine::RenderMix(*project, out.data(), kBlock);
        benchmark::DoNotOptimize(out.data());
    }
    const double voiceFrames = double(kTrackCount) * kVoicesEach * kBlock;
    state.counters["voice_frames/s"]
        = benchmark::Counter(voiceFrames * double(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(Mix)
    ->ArgNames({ "interpolation", "channels" })
    ->ArgsProduct({ { 0, 1, 2, 3 }, { 1, 2 } })
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
