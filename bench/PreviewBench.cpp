// SPDX-License-Identifier: MIT
// The preview's feeder under the heaviest load the mixer knows: 64 tracks of
// 16 looping voices each with the "Use sinc" kernel, stereo, at the default
// block length (4096 frames, 93 ms at 44100 Hz).
//
// - PreviewStep: one feeder step after 10 ms of a virtual clock, as the
//   feeder runs it; most steps only look at the device, one in about nine
//   renders a block. Reports the mean and, as worst_step_ms, the longest;
//   first_step_ms is the step right after Play, which fills two blocks.
// - PreviewFeeder: the real feeder thread for five seconds against a device
//   that plays at the pace of the steady clock. Reports the longest step,
//   the steps at whose start the device had run dry (starved_steps) and
//   whether the thread got a real-time priority (2), a raised nice value (1)
//   or neither (0).
//
// Through a real sound server, vellisto-preview-underruns measures the
// underruns over a minute of playback.

#include "BenchProject.h"
#include "audio/SincTables.h"
#include "preview/PreviewFeeder.h"
#include "preview/PreviewPlayer.h"
#include "preview/WaveOut.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <thread>

namespace {

using namespace vellisto;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kRate = 44100;
constexpr std::uint32_t kFramesPerStep = kRate / 100; // 10 ms

// Plays either by a virtual clock moved on by advance(), or at the pace of
// the steady clock from the first frame it is given.
class ClockedDevice final : public preview::WaveOut {
public:
    ClockedDevice(std::uint32_t frameBytes, bool realTime)
        : m_frameBytes(frameBytes)
        , m_realTime(realTime)
    {
    }
    void advance(std::uint64_t frames) { m_virtual = std::min(m_virtual + frames, m_queued); }

    bool write(const std::uint8_t* data, std::size_t bytes) override
    {
        benchmark::DoNotOptimize(data);
        if (m_queued == 0)
            m_start = Clock::now();
        m_queued += bytes / m_frameBytes;
        return true;
    }
    std::size_t freeBytes() override { return static_cast<std::size_t>(-1); }
    std::uint64_t framesPlayed() override
    {
        if (!m_realTime)
            return m_virtual;
        if (m_queued == 0)
            return 0;
        const auto elapsed
            = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - m_start);
        return std::min<std::uint64_t>(
            m_queued, static_cast<std::uint64_t>(elapsed.count()) * kRate / 1000000);
    }
    void pause() override { }
    bool restart() override { return true; }
    bool reset() override
    {
        m_queued = 0;
        m_virtual = 0;
        return true;
    }
    void close() override { }

private:
    std::uint32_t m_frameBytes;
    bool m_realTime;
    std::uint64_t m_queued = 0;
    std::uint64_t m_virtual = 0;
    Clock::time_point m_start;
};

struct Load {
    std::unique_ptr<Project> project
        = bench::MakeMixProject(2, Interpolation::kSinc, /*risingEnvelope=*/false);
    preview::PreviewPlayer player { *project, preview::PreviewKind::kProject };
};

void PreviewStep(benchmark::State& state)
{
    audio::BuildSincTables();
    Load load;
    if (!load.player.prepare()) {
        state.SkipWithError("out of memory");
        return;
    }
    ClockedDevice device(4, false);
    load.player.attach(device);
    load.player.play();
    // The first step after Play fills two blocks at once; it is reported apart.
    device.advance(kFramesPerStep);
    const Clock::time_point first = Clock::now();
    load.player.tick();
    state.counters["first_step_ms"]
        = std::chrono::duration<double, std::milli>(Clock::now() - first).count();
    double worst = 0;
    for (auto _ : state) {
        device.advance(kFramesPerStep);
        const Clock::time_point begin = Clock::now();
        load.player.tick();
        worst = std::max(
            worst, std::chrono::duration<double, std::milli>(Clock::now() - begin).count());
    }
    state.counters["worst_step_ms"] = worst;
    state.counters["starved_steps"] = load.player.starvedSteps();
}

void PreviewFeeder(benchmark::State& state)
{
    audio::BuildSincTables();
    Load load;
    if (!load.player.prepare()) {
        state.SkipWithError("out of memory");
        return;
    }
    ClockedDevice device(4, true);
    load.player.attach(device);
    preview::PreviewFeeder feeder;
    for (auto _ : state) {
        load.player.play();
        feeder.start([&] { load.player.tick(); });
        std::this_thread::sleep_for(std::chrono::seconds(5));
        feeder.stop();
        load.player.stop();
    }
    state.counters["worst_step_ms"] = static_cast<double>(feeder.longestStepNanoseconds()) / 1e6;
    state.counters["steps"] = static_cast<double>(feeder.steps());
    state.counters["starved_steps"] = load.player.starvedSteps();
    state.counters["priority"] = static_cast<double>(feeder.priority());
}

BENCHMARK(PreviewStep)->Iterations(400)->Unit(benchmark::kMillisecond);
BENCHMARK(PreviewFeeder)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
