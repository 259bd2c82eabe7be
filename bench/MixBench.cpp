// SPDX-License-Identifier: MIT
// Mixing speed: a generated project of 64 tracks with 16 looping voices each
// at random pitches, rendered block by block with every interpolation, mono
// and stereo, with the process's default loops (the fast ones) on one thread.
// The envelope argument gives every voice a rising level (an attack that
// lasts the whole run) instead of a fixed one. Reports voice-frames per second (voices x frames
// rendered). The side-by-side comparison with the reference loops is vellisto-bench-perf.

#include "BenchProject.h"
#include "audio/SincTables.h"
#include "engine/Mixer.h"

#include <benchmark/benchmark.h>
#include <vector>

namespace {

using namespace vellisto;
using bench::kBlockFrames;
using bench::kVoicesPerTrack;

void Mix(benchmark::State& state)
{
    audio::BuildSincTables();
    const auto channels = static_cast<std::uint16_t>(state.range(1));
    std::unique_ptr<Project> project = bench::MakeMixProject(
        channels, static_cast<Interpolation>(state.range(0)), state.range(2) != 0);
    const auto mix = std::make_unique<MixState>();
    engine::PrepareMix(*project, *mix, false);
    engine::SeekMix(*project, *mix, 0);
    const engine::RenderSetup setup = engine::ChooseRenderSetup(mix->settings);
    std::vector<std::int16_t> out(std::size_t { kBlockFrames } * channels);
    for (auto _ : state) {
        engine::RenderMix(*project, *mix, setup, out.data(), kBlockFrames);
        benchmark::DoNotOptimize(out.data());
    }
    const double voiceFrames = double(kTrackCount) * kVoicesPerTrack * kBlockFrames;
    state.counters["voice_frames/s"]
        = benchmark::Counter(voiceFrames * double(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(Mix)
    ->ArgNames({ "interpolation", "channels", "envelope" })
    ->ArgsProduct({ { 0, 1, 2, 3 }, { 1, 2 }, { 0, 1 } })
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
