// SPDX-License-Identifier: MIT
// Loading-conversion throughput: 60 s of 44100 Hz stereo 16-bit brought to
// 48000 Hz stereo with each interpolation, with the process's default loops
// (the fast ones) on one thread. Reports output frames per second
// and the real-time factor (seconds of sound converted per second).

#include "BenchProject.h"
#include "audio/ConvertSound.h"
#include "audio/SincTables.h"

#include <benchmark/benchmark.h>
#include <cstdint>

using namespace vellisto;
using namespace vellisto::audio;

namespace {

constexpr std::uint32_t kInputRate = 44100;
constexpr std::uint32_t kOutputRate = 48000;
constexpr std::uint32_t kSeconds = 60;

OutputFormat StereoFormat(std::uint32_t rate)
{
    OutputFormat format { 1, 2, rate, 0, 0, 16, 0 };
    CompleteOutputFormat(format);
    return format;
}

// A sample block (with guard zones) holding two tones, one per channel.
struct Input {
    std::uint32_t bytes = kInputRate * kSeconds * 4;
    std::uint8_t* samples = bench::MakeStereoTones(kInputRate, kInputRate* kSeconds);

    ~Input() { ReleaseSampleBlock(samples); }
};

void BM_Convert(benchmark::State& state)
{
    BuildSincTables();
    static const Input input;
    const auto interpolation = static_cast<std::uint32_t>(state.range(0));
    const auto plan = PlanConversion(
        StereoFormat(kInputRate), input.bytes, StereoFormat(kOutputRate), interpolation);
    if (!plan) {
        state.SkipWithError("conversion refused");
        return;
    }
    std::uint8_t* output = AllocateSampleBlock(plan->outputBytes);
    for (auto _ : state) {
        RunConversion(*plan, input.samples, output, { KernelPath::kFast, CurrentVectorIsa(), 1 });
        benchmark::DoNotOptimize(output);
        benchmark::ClobberMemory();
    }
    ReleaseSampleBlock(output);
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["frames_per_second"]
        = benchmark::Counter(iterations * plan->outputFrames, benchmark::Counter::kIsRate);
    state.counters["realtime_factor"]
        = benchmark::Counter(iterations * kSeconds, benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_Convert)
    ->ArgName("interpolation")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Arg(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
