// SPDX-License-Identifier: MIT
// Import speed on large and on hostile scores, generated in memory: a MIDI
// file and a BMS chart of 500 000 events each, and files built to provoke
// slow paths (millions of zero-length running-status events, huge delta
// times, the largest number of file tracks, one endless chart line). Reports
// the time per import and events per second.

#include "import/BmsImport.h"
#include "import/ImportTables.h"
#include "import/MidiBytes.h"
#include "import/MidiImport.h"
#include "model/Compatibility.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <string>
#include <vector>

using namespace vellisto;
using namespace vellisto::import;

namespace {

using testing::Bytes;
using testing::MidiBytes;
using testing::MidiTrack;

// 500 000 channel events over eight file tracks and sixteen channels: notes
// on and off, controllers and pitch bends, with tempo changes in track 0.
Bytes LargeMidi()
{
    MidiBytes file;
    MidiTrack tempi;
    for (std::uint32_t i = 0; i < 500; ++i)
        tempi.tempo(960, 400000 + 1000 * (i % 200));
    file.track(tempi);
    constexpr int kPerTrack = 500000 / 8;
    for (int t = 1; t <= 8; ++t) {
        MidiTrack track;
        for (int i = 0; i < kPerTrack; ++i) {
            const auto channel = static_cast<std::uint8_t>((t * 2 + i % 2) & 15);
            const auto note = static_cast<std::uint8_t>(36 + i % 48);
            const std::uint32_t delta = i % 3 == 0 ? 0 : 60;
            switch (i % 8) {
            case 6:
                track.bend(delta, channel, 0, 0x40);
                break;
            case 7:
                track.control(delta, channel, 7, 100);
                break;
            default:
                track.noteOn(delta, channel, note, static_cast<std::uint8_t>(i % 2 ? 0 : 100));
            }
        }
        file.track(track);
    }
    return file.bytes();
}

// One channel, one file track of zero deltas in running status: three bytes
// per event, three million events.
Bytes RunningStatusFlood()
{
    MidiTrack track;
    track.noteOn(0, 0, 0x3C, 0x40);
    for (int i = 0; i < 3000000; ++i)
        track.raw({ 0x00, 0x3C, static_cast<std::uint8_t>(i % 2 ? 0 : 0x40) });
    return MidiBytes().track(track).bytes();
}

// 500 000 notes each 0x0FFFFFFF ticks apart at the slowest tempo.
Bytes HugeDeltas()
{
    MidiTrack track;
    track.tempo(0, 0xFFFFFF);
    for (int i = 0; i < 500000; ++i)
        track.noteOn(0x0FFFFFFF, 0, 0x3C, 0x40);
    return MidiBytes(1).track(track).bytes();
}

// 65535 file tracks of eight notes each, all on the same ticks.
Bytes ManyTracks()
{
    MidiTrack track;
    for (int i = 0; i < 8; ++i)
        track.noteOn(0, 0, 0x3C, 0x40);
    MidiBytes file;
    for (int i = 0; i < 65535; ++i)
        file.track(track);
    return file.bytes();
}

std::string Pairs(int n, int first)
{
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (int k = 0; k < n; ++k) {
        const int id = 1 + (first + k) % 200;
        out += hex[id >> 4];
        out += hex[id & 15];
    }
    return out;
}

// 977 measures of 512 notes: nine key channels and seven background lines of
// 32 notes each, with a tempo change and a measure length change now and then.
Bytes LargeChart()
{
    std::string text = "#BPM 140\r\n";
    for (int id = 1; id <= 200; ++id) {
        char line[32];
        std::snprintf(line, sizeof line, "#WAV%02X sound%d.wav\r\n", id, id);
        text += line;
    }
    for (int m = 0; m < 977; ++m) {
        char prefix[16];
        if (m % 50 == 0) {
            std::snprintf(prefix, sizeof prefix, "#%03d03:%02X\r\n", m, 100 + m % 100);
            text += prefix;
        }
        if (m % 64 == 0) {
            std::snprintf(prefix, sizeof prefix, "#%03d02:0.75\r\n", m);
            text += prefix;
        }
        for (int c = 11; c <= 19; ++c) {
            std::snprintf(prefix, sizeof prefix, "#%03d%02d:", m, c);
            text += prefix + Pairs(32, m + c) + "\r\n";
        }
        for (int b = 0; b < 7; ++b) {
            std::snprintf(prefix, sizeof prefix, "#%03d01:", m);
            text += prefix + Pairs(32, m * 7 + b) + "\r\n";
        }
    }
    return { text.begin(), text.end() };
}

// One line of two million notes.
Bytes EndlessLine()
{
    std::string text = "#WAV01 a.wav\r\n#00011:";
    text.reserve(text.size() + 4000000);
    for (int i = 0; i < 2000000; ++i)
        text += "01";
    return { text.begin(), text.end() };
}

std::unique_ptr<Project> NewProject()
{
    auto project = CreateProject();
    CompatibilityChoice choice;
    choice.compatibility = Compatibility::kAuto;
    ApplyCompatibilityChoice(*project, choice);
    return project;
}

std::uint64_t EventCount(const Project& project)
{
    std::uint64_t n = 0;
    for (const Track& track : project.tracks)
        n += track.count;
    return n;
}

// Imports into a new project per iteration and counts the events made.
template <typename Import> void Run(benchmark::State& state, Import importInto)
{
    BuildImportTables();
    std::uint64_t events = 0;
    for (auto _ : state) {
        auto project = NewProject();
        if (!importInto(*project))
            state.SkipWithError("import failed");
        events = EventCount(*project);
        benchmark::DoNotOptimize(project);
    }
    state.counters["events"] = static_cast<double>(events);
    state.counters["events/s"] = benchmark::Counter(
        static_cast<double>(events * state.iterations()), benchmark::Counter::kIsRate);
}

void RunMidi(benchmark::State& state, const Bytes& file)
{
    Run(state, [&](Project& project) { return ImportMidiFile(project, file); });
}

void RunBms(benchmark::State& state, const Bytes& chart)
{
    Run(state,
        [&](Project& project) { return ImportBmsFile(project, chart, u"/charts/chart.bms"); });
}

void MidiLarge(benchmark::State& state)
{
    static const Bytes file = LargeMidi();
    RunMidi(state, file);
}

void MidiRunningStatusFlood(benchmark::State& state)
{
    static const Bytes file = RunningStatusFlood();
    RunMidi(state, file);
}

void MidiHugeDeltas(benchmark::State& state)
{
    static const Bytes file = HugeDeltas();
    RunMidi(state, file);
}

void MidiManyTracks(benchmark::State& state)
{
    static const Bytes file = ManyTracks();
    RunMidi(state, file);
}

void BmsLarge(benchmark::State& state)
{
    static const Bytes chart = LargeChart();
    RunBms(state, chart);
}

void BmsEndlessLine(benchmark::State& state)
{
    static const Bytes chart = EndlessLine();
    RunBms(state, chart);
}

} // namespace

BENCHMARK(MidiLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(MidiRunningStatusFlood)->Unit(benchmark::kMillisecond);
BENCHMARK(MidiHugeDeltas)->Unit(benchmark::kMillisecond);
BENCHMARK(MidiManyTracks)->Unit(benchmark::kMillisecond);
BENCHMARK(BmsLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(BmsEndlessLine)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
