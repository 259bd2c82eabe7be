// SPDX-License-Identifier: MIT
// One run that puts the reference loops and the fast loops side by side:
//
// - mixing: 64 tracks of 16 looping voices at random pitches, every
//   interpolation, mono and stereo: voice-frames per second and real-time
//   factor with the reference loops, the fast loops on one thread, and the
//   fast loops on every hardware thread;
// - the loading conversion of 60 s of 44100 Hz stereo into 48000 Hz with
//   "Use sinc": in this process (reference, fast on one thread, fast on every
//   thread), and end to end from file to file with vellisto-cli resample
//   beside sox's "rate -v" on the same file, timed in the same run;
// - the peak memory of vellisto-cli mix for a project of 1 minute and the
//   same project 10 times as long.
//
// Every figure is the best of several runs, for the reference and the fast
// loops alike. Usage: vellisto-bench-perf [--seconds S] (about how long each
// mixing figure is measured; 1 by default). Prints Markdown tables.

#include "BenchProject.h"
#include "audio/Acceleration.h"
#include "audio/ConvertSound.h"
#include "audio/SincTables.h"
#include "audio/SincWeights.h"
#include "audio/WaveHeader.h"
#include "engine/Mixer.h"
#include "engine/RenderPool.h"
#include "model/EventList.h"
#include "model/ProjectFile.h"
#include "platform/File.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

using namespace vellisto;
using Clock = std::chrono::steady_clock;

namespace {

double g_minSeconds = 1.0;

double Since(Clock::time_point t0)
{
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

const char* IsaName(audio::VectorIsa isa)
{
    switch (isa) {
    case audio::VectorIsa::kPortable:
        return "portable";
    case audio::VectorIsa::kSse2:
        return "SSE2";
    case audio::VectorIsa::kAvx2:
        return "AVX2";
    case audio::VectorIsa::kAvx512:
        return "AVX-512";
    }
    return "?";
}

const char* InterpolationName(Interpolation interpolation)
{
    switch (interpolation) {
    case Interpolation::kNone:
        return "None";
    case Interpolation::kLinear:
        return "Linear";
    case Interpolation::kSincLow:
        return "Use sinc (low resolution)";
    case Interpolation::kSinc:
        return "Use sinc";
    }
    return "?";
}

// ---- mixing ----

struct MixFigure {
    double voiceFramesPerSecond = 0;
    double realTime = 0; // seconds of output per second
};

// The best of five windows, each of at least a fifth of minSeconds and one
// block: the machine may be busy with other work now and then, and both the
// reference and the fast loops are measured the same way.
MixFigure TimeMix(
    Project& project, audio::KernelPath path, std::uint32_t threads, double minSeconds)
{
    const auto state = std::make_unique<MixState>();
    engine::PrepareMix(project, *state, false);
    engine::RenderSetup setup = engine::ChooseRenderSetup(state->settings);
    setup.kernelPath = path;
    const std::uint16_t channels = state->settings.outputFormat.channels;
    engine::RenderPool pool(threads);
    if (threads > 1 && pool.reserve(std::size_t { bench::kBlockFrames } * channels))
        setup.pool = &pool;
    engine::SeekMix(project, *state, 0);
    std::vector<std::int16_t> out(std::size_t { bench::kBlockFrames } * channels);
    engine::RenderMix(project, *state, setup, out.data(), bench::kBlockFrames); // warm the caches
    double bestFramesPerSecond = 0;
    for (int window = 0; window < 5; ++window) {
        std::uint64_t blocks = 0;
        const auto t0 = Clock::now();
        double seconds = 0;
        do {
            engine::RenderMix(project, *state, setup, out.data(), bench::kBlockFrames);
            ++blocks;
            seconds = Since(t0);
        } while (seconds < minSeconds / 5);
        bestFramesPerSecond
            = std::max(bestFramesPerSecond, double(blocks) * bench::kBlockFrames / seconds);
    }
    const double voices = double(kTrackCount) * bench::kVoicesPerTrack;
    return { voices * bestFramesPerSecond,
        bestFramesPerSecond / state->settings.outputFormat.samplesPerSecond };
}

void MixTable(std::uint32_t threads)
{
    std::printf("\n## Mixing: 64 tracks x 16 voices, random pitches 0.5..2.0, 44100 Hz, blocks of "
                "4096 frames\n\n");
    std::printf("| Interpolation | Channels | Reference (voice-frames/s, x real time) | Fast, 1 "
                "thread | Fast/reference | Fast, %u threads | %u threads/1 |\n",
        threads, threads);
    std::printf("|---|---|---|---|---|---|---|\n");
    for (const auto interpolation : { Interpolation::kNone, Interpolation::kLinear,
             Interpolation::kSincLow, Interpolation::kSinc }) {
        for (const std::uint16_t channels : { 1, 2 }) {
            const auto project = bench::MakeMixProject(channels, interpolation);
            const MixFigure reference
                = TimeMix(*project, audio::KernelPath::kReference, 1, g_minSeconds);
            const MixFigure fast = TimeMix(*project, audio::KernelPath::kFast, 1, g_minSeconds);
            const MixFigure all
                = TimeMix(*project, audio::KernelPath::kFast, threads, g_minSeconds);
            std::printf("| %s | %u | %.1fM (%.1fx) | %.1fM (%.1fx) | **%.1fx** | %.1fM (%.1fx) | "
                        "%.2fx |\n",
                InterpolationName(interpolation), channels, reference.voiceFramesPerSecond / 1e6,
                reference.realTime, fast.voiceFramesPerSecond / 1e6, fast.realTime,
                fast.voiceFramesPerSecond / reference.voiceFramesPerSecond,
                all.voiceFramesPerSecond / 1e6, all.realTime,
                all.voiceFramesPerSecond / fast.voiceFramesPerSecond);
            std::fflush(stdout);
        }
    }
}

void ThreadScaling()
{
    std::printf("\n## Threads: the same many-track mix, \"Use sinc\", stereo, fast loops\n\n");
    std::printf("| Threads | voice-frames/s | x real time | vs 1 thread |\n|---|---|---|---|\n");
    const auto project = bench::MakeMixProject(2, Interpolation::kSinc);
    const MixFigure one = TimeMix(*project, audio::KernelPath::kFast, 1, g_minSeconds);
    for (const std::uint32_t threads : { 1u, 2u }) {
        const MixFigure f = threads == 1
            ? one
            : TimeMix(*project, audio::KernelPath::kFast, threads, g_minSeconds);
        std::printf("| %u | %.1fM | %.1fx | %.2fx |\n", threads, f.voiceFramesPerSecond / 1e6,
            f.realTime, f.voiceFramesPerSecond / one.voiceFramesPerSecond);
    }
}

// ---- subprocesses ----

struct Run {
    bool ok = false;
    double seconds = 0;
};

// Runs a program with its output thrown away; its wall time.
Run Spawn(const std::vector<std::string>& argv)
{
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    Run run;
    const auto t0 = Clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) == 0) {
        int status = 0;
        if (waitpid(pid, &status, 0) == pid) {
            run.seconds = Since(t0);
            run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

// The best of three runs (the machine may be busy with other work).
Run Best(const std::vector<std::string>& argv)
{
    Run best;
    for (int i = 0; i < 3; ++i) {
        const Run r = Spawn(argv);
        if (!r.ok)
            return r;
        if (!best.ok || r.seconds < best.seconds)
            best = r;
    }
    return best;
}

bool WriteFile(const std::string& path, const std::uint8_t* header, std::size_t headerBytes,
    const std::uint8_t* data, std::size_t bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return false;
    const bool ok = std::fwrite(header, 1, headerBytes, f) == headerBytes
        && std::fwrite(data, 1, bytes, f) == bytes;
    return std::fclose(f) == 0 && ok;
}

OutputFormat Format(std::uint16_t channels, std::uint32_t rate)
{
    OutputFormat format { kFormatPcm, channels, rate, 0, 0, 16, 0 };
    CompleteOutputFormat(format);
    return format;
}

// ---- conversion ----

void ConversionTable(const std::string& dir, std::uint32_t threads)
{
    constexpr std::uint32_t kInRate = 44100;
    constexpr std::uint32_t kOutRate = 48000;
    constexpr std::uint32_t kSeconds = 60;
    const std::uint32_t frames = kInRate * kSeconds;
    std::uint8_t* input = bench::MakeStereoTones(kInRate, frames);
    const auto plan = audio::PlanConversion(Format(2, kInRate), frames * 4, Format(2, kOutRate),
        static_cast<std::uint32_t>(Interpolation::kSinc));
    if (input == nullptr || !plan) {
        std::printf("conversion: cannot prepare the input\n");
        return;
    }
    std::uint8_t* output = AllocateSampleBlock(plan->outputBytes);
    const auto timeConversion = [&](const audio::ConversionRun& run, int rounds) {
        double best = 1e30;
        for (int i = 0; i < rounds; ++i) {
            const auto t0 = Clock::now();
            audio::RunConversion(*plan, input, output, run);
            best = std::min(best, Since(t0));
        }
        return best;
    };
    const audio::VectorIsa isa = audio::CurrentVectorIsa();
    const double reference = timeConversion({ audio::KernelPath::kReference, isa, 1 }, 2);
    const double fast = timeConversion({ audio::KernelPath::kFast, isa, 1 }, 3);
    const double fastAll = timeConversion({ audio::KernelPath::kFast, isa, threads }, 3);

    // The same input as a file, for the programs.
    const std::string in = dir + "/tones-44100.wav";
    const auto header = audio::MakeWaveHeader(Format(2, kInRate), frames * 4);
    WriteFile(in, header.data(), header.size(), input, std::size_t { frames } * 4);
    const Run sox = Best({ "sox", in, dir + "/sox-48000.wav", "rate", "-v", "48000" });
    const Run cliOne = Best({ VEL_CLI_PATH, "resample", in, "-o", dir + "/cli-48000.wav", "--rate",
        "48000", "--interp", "sinc", "--threads", "1" });
    const Run cliAll = Best({ VEL_CLI_PATH, "resample", in, "-o", dir + "/cli-48000.wav", "--rate",
        "48000", "--interp", "sinc", "--threads", std::to_string(threads) });

    std::printf("\n## Loading conversion: 60 s of 44100 Hz stereo to 48000 Hz, \"Use sinc\"\n\n");
    std::printf("| Conversion | Seconds | x real time |\n|---|---|---|\n");
    const auto row = [&](const char* name, double seconds) {
        std::printf("| %s | %.3f | %.0fx |\n", name, seconds, kSeconds / seconds);
    };
    row("reference loops, in memory, 1 thread", reference);
    row("fast loops, in memory, 1 thread", fast);
    std::printf("| fast loops, in memory, %u threads | %.3f | %.0fx |\n", threads, fastAll,
        kSeconds / fastAll);
    if (cliOne.ok)
        row("`vellisto-cli resample --interp sinc --threads 1`, file to file", cliOne.seconds);
    if (cliAll.ok)
        std::printf("| `vellisto-cli resample --interp sinc`, %u threads, file to file | %.3f | "
                    "%.0fx |\n",
            threads, cliAll.seconds, kSeconds / cliAll.seconds);
    if (sox.ok)
        row("`sox in.wav out.wav rate -v 48000`, file to file", sox.seconds);
    else
        std::printf("| sox rate -v | not run (sox missing or failed) | |\n");
    std::printf("\nReference / fast (1 thread): %.1fx. ", reference / fast);
    if (sox.ok && cliOne.ok)
        std::printf("sox rate -v / vellisto-cli resample (1 thread): %.2fx; sox / fast loops in "
                    "memory: %.2fx.",
            sox.seconds / cliOne.seconds, sox.seconds / fast);
    std::printf("\n");
    ReleaseSampleBlock(output);
    ReleaseSampleBlock(input);
}

// ---- memory ----

// A project of `minutes` minutes: 8 tracks each playing a 2-second sound
// every half second, with "Linear" mixing, its sound beside it.
bool WriteLengthProject(const std::string& dir, const std::string& name, std::uint32_t minutes)
{
    const std::unique_ptr<Project> project = CreateProject();
    project->settings.mixingInterpolation = static_cast<std::uint32_t>(Interpolation::kLinear);
    const std::u16string soundName = u"\\noise.wav";
    SoundSlot& sound = project->sounds[0];
    std::copy(soundName.begin(), soundName.end(), sound.fileName.begin());
    sound.volume = 256;
    sound.pitch = 1u << 24;
    sound.loopBegin = kNoLoop;
    sound.loopEnd = kNoLoop;
    const std::uint32_t length = minutes * 60 * 44100;
    for (std::uint32_t t = 0; t < 8; ++t) {
        Track& track = project->tracks[t];
        for (std::uint32_t time = t * 1000; time < length; time += 22050)
            InsertSorted(track,
                Event { kEventExists, time, EventTypeWord(EventType::kPlay), 0, 1024,
                    (1u << 24) + t * 100000 });
        InsertSorted(
            track, Event { kEventExists, length, EventTypeWord(EventType::kVolume), 1024, 0, 0 });
    }
    return WriteProjectFile(*project, dir + "/" + name) == ProjectWriteResult::kOk;
}

// The peak resident memory of a program in KiB, measured by GNU time: the
// rusage of a child of this (large) process would count this process's
// memory too, since the child shares it until it starts the program.
std::optional<long> PeakKilobytes(const std::string& dir, const std::vector<std::string>& argv)
{
    const std::string report = dir + "/time.txt";
    std::vector<std::string> timed { "/usr/bin/time", "-f", "%M", "-o", report };
    timed.insert(timed.end(), argv.begin(), argv.end());
    if (!Spawn(timed).ok)
        return std::nullopt;
    std::FILE* f = std::fopen(report.c_str(), "r");
    long kilobytes = 0;
    const bool read = f != nullptr && std::fscanf(f, "%ld", &kilobytes) == 1;
    if (f != nullptr)
        std::fclose(f);
    return read ? std::optional<long>(kilobytes) : std::nullopt;
}

void MemoryTable(const std::string& dir)
{
    std::vector<std::uint8_t> noise(88200 * 4);
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<std::uint8_t>((i * 2654435761u) >> 13);
    const auto header
        = audio::MakeWaveHeader(Format(2, 44100), static_cast<std::uint32_t>(noise.size()));
    WriteFile(dir + "/noise.wav", header.data(), header.size(), noise.data(), noise.size());
    std::printf("\n## Peak memory of `vellisto-cli mix` (8 tracks, \"Linear\")\n\n");
    std::printf("| Project length | Seconds | Peak resident memory |\n|---|---|---|\n");
    for (const std::uint32_t minutes : { 1u, 10u }) {
        const std::string name = "length-" + std::to_string(minutes) + ".spj";
        if (!WriteLengthProject(dir, name, minutes)) {
            std::printf("| %u min | cannot write the project | |\n", minutes);
            continue;
        }
        const std::vector<std::string> mix { VEL_CLI_PATH, "mix", dir + "/" + name, "-o",
            dir + "/length.wav", "--quiet" };
        const Run run = Spawn(mix);
        const auto peak = PeakKilobytes(dir, mix);
        if (!run.ok)
            std::printf("| %u min | the mix failed | |\n", minutes);
        else if (peak)
            std::printf("| %u min | %.2f | %.1f MiB |\n", minutes, run.seconds, *peak / 1024.0);
        else
            std::printf(
                "| %u min | %.2f | not measured (no /usr/bin/time) |\n", minutes, run.seconds);
        std::filesystem::remove(dir + "/length.wav");
    }
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--seconds") == 0)
            g_minSeconds = std::max(0.01, std::atof(argv[i + 1]));
    }
    audio::BuildSincTables();
    if (audio::SincWeights() == nullptr) {
        std::fprintf(stderr, "vellisto-bench-perf: no memory for the sinc weight tables\n");
        return 1;
    }
    const std::uint32_t threads = audio::WorkerThreads();
    std::printf("# Reference loops against fast loops\n\nVector instructions: %s; hardware "
                "threads: %u.\n",
        IsaName(audio::CurrentVectorIsa()), threads);

    std::string dir = (std::filesystem::temp_directory_path() / "vellisto-bench-XXXXXX").string();
    if (::mkdtemp(dir.data()) == nullptr) {
        std::fprintf(stderr, "vellisto-bench-perf: cannot make a scratch folder\n");
        return 1;
    }
    MixTable(threads);
    ThreadScaling();
    ConversionTable(dir, threads);
    MemoryTable(dir);
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return 0;
}
