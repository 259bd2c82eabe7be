// SPDX-License-Identifier: MIT
// One run that puts the reference loops and the fast loops side by side:
//
// - mix: 64 tracks of 16 looping voices at random pitches, every
//   interpolation, mono and stereo: voice-frames per second with the
//   reference loops, the fast loops on one thread and on every hardware
//   thread;
// - threads: the "Use sinc" stereo mix on one thread and on every thread,
//   with the processor time the threads got;
// - budget: the most "Use sinc" stereo voices that one thread renders within
//   10 ms per 10 ms of audio, as the preview needs;
// - scores: an imported BMS chart and an imported MIDI song with its kit,
//   mixed end to end by vellisto-cli mix (reference on one thread against
//   fast on one and on every thread), as imported and with "Use sinc";
// - conversion: 60 s of 44100 Hz stereo into 48000 Hz with "Use sinc", in
//   this process and from file to file with vellisto-cli resample beside
//   sox's "rate -v";
// - memory: the peak memory of vellisto-cli mix for a project of 1 minute
//   and the same project 10 times as long.
//
// The ways compared are measured in alternation, a short window each per
// round (BenchRounds.h); every figure is a median with its spread (lowest
// and highest round), and every ratio is taken round by round within this one
// run. The processor, its vector extensions and caches, and the load average
// are printed with the figures.
//
// Usage: vellisto-bench-perf [--seconds S] [--rounds N] [--isa portable|sse2|avx2|avx512]
//        [--only SECTION,...]
// S: the window of each way per round (0.2 s by default); N: rounds (9 by
// default); --isa narrows the vector instructions of the fast loops (to
// measure AVX2 on a processor that has AVX-512); --only runs the named
// sections (mix, threads, budget, scores, conversion, memory). Prints Markdown.

#include "BenchMachine.h"
#include "BenchProject.h"
#include "BenchRounds.h"
#include "audio/Acceleration.h"
#include "audio/ConvertSound.h"
#include "audio/SincTables.h"
#include "audio/SincWeights.h"
#include "audio/WaveHeader.h"
#include "engine/Mixer.h"
#include "engine/RenderPool.h"
#include "model/EventList.h"
#include "model/ProjectFile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

using namespace vellisto;
using Clock = std::chrono::steady_clock;

namespace {

struct Options {
    double seconds = 0.2;
    int rounds = 9;
    std::optional<audio::VectorIsa> isa;
    std::vector<std::string> only;

    bool runs(const char* section) const
    {
        return only.empty() || std::find(only.begin(), only.end(), section) != only.end();
    }
};

Options g_options;

double Since(Clock::time_point t0)
{
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

// Processor time of the whole process (every thread), in seconds.
double ProcessCpuSeconds()
{
    timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
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

std::optional<audio::VectorIsa> ParseIsa(const char* text)
{
    for (const auto isa : { audio::VectorIsa::kPortable, audio::VectorIsa::kSse2,
             audio::VectorIsa::kAvx2, audio::VectorIsa::kAvx512 }) {
        std::string name = IsaName(isa);
        name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
        std::string given = text;
        given.erase(std::remove(given.begin(), given.end(), '-'), given.end());
        if (strcasecmp(name.c_str(), given.c_str()) == 0)
            return isa;
    }
    return std::nullopt;
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

// One way of rendering a generated project, keeping its own mix state from
// window to window (the voices loop for ever).
class MixWay {
public:
    MixWay(const Project& project, std::uint32_t voices, audio::KernelPath path,
        std::uint32_t threads, std::uint32_t chunkFrames)
        : m_project(project)
        , m_state(std::make_unique<MixState>())
        , m_pool(threads)
        , m_voices(voices)
        , m_chunk(chunkFrames)
    {
        engine::PrepareMix(project, *m_state, false);
        m_setup = engine::ChooseRenderSetup(m_state->settings);
        m_setup.kernelPath = path;
        const std::uint16_t channels = m_state->settings.outputFormat.channels;
        if (threads > 1 && m_pool.reserve(std::size_t { m_state->settings.bufferLength } * 2))
            m_setup.pool = &m_pool;
        engine::SeekMix(project, *m_state, 0);
        m_out.resize(std::size_t { m_chunk } * channels);
    }

    void render() { engine::RenderMix(m_project, *m_state, m_setup, m_out.data(), m_chunk); }

    // Measures a window of at least `seconds` of wall time (and one chunk),
    // after one chunk that brings the tables back into the caches. Returns
    // the voice-frames per second of processor time (of all the process's
    // threads), which time slices given to other programs do not count in;
    // the rate per wall second is kept beside it.
    double measure(double seconds)
    {
        render();
        std::uint64_t chunks = 0;
        const double cpu0 = ProcessCpuSeconds();
        const auto t0 = Clock::now();
        double elapsed = 0;
        do {
            render();
            ++chunks;
            elapsed = Since(t0);
        } while (elapsed < seconds);
        const double cpu = ProcessCpuSeconds() - cpu0;
        const double voiceFrames = double(m_voices) * double(chunks) * m_chunk;
        m_wallRates.push_back(voiceFrames / elapsed);
        m_cpuShares.push_back(cpu / elapsed);
        return cpu > 0 ? voiceFrames / cpu : 0.0;
    }

    // Voice-frames per wall second in each window so far.
    const std::vector<double>& wallRates() const { return m_wallRates; }
    // Processor time per wall time in each window so far: 1 for one thread
    // that ran throughout, up to the thread count when no thread waited.
    const std::vector<double>& cpuShares() const { return m_cpuShares; }

private:
    const Project& m_project;
    std::unique_ptr<MixState> m_state;
    engine::RenderPool m_pool;
    engine::RenderSetup m_setup;
    std::vector<std::int16_t> m_out;
    std::uint32_t m_voices;
    std::uint32_t m_chunk;
    std::vector<double> m_wallRates;
    std::vector<double> m_cpuShares;
};

// Blocks of 512 frames (one run of the fast loops): the reference's "Use
// sinc" window then stays near a tenth of a second.
constexpr std::uint32_t kMixChunk = 512;

void MixTable()
{
    std::printf("\n## Mixing: 64 tracks x 16 voices, random pitches 0.5..2.0, 44100 Hz, "
                "1 thread\n\n"
                "Millions of voice-frames per second of processor time, median "
                "[lowest-highest round]; the ratio is taken round by round.\n\n");
    std::printf("| Interpolation | Channels | Reference | Fast | Fast / reference |\n");
    std::printf("|---|---|---|---|---|\n");
    for (const auto interpolation : { Interpolation::kNone, Interpolation::kLinear,
             Interpolation::kSincLow, Interpolation::kSinc }) {
        for (const std::uint16_t channels : { 1, 2 }) {
            const auto project = bench::MakeMixProject(channels, interpolation);
            MixWay reference(
                *project, bench::kMixVoices, audio::KernelPath::kReference, 1, kMixChunk);
            MixWay fast(*project, bench::kMixVoices, audio::KernelPath::kFast, 1, kMixChunk);
            const double window = g_options.seconds;
            const auto figures = bench::Alternate(g_options.rounds,
                { [&] { return reference.measure(window); },
                    [&] { return fast.measure(window); } });
            std::printf("| %s | %u | %s | %s | **%s** |\n", InterpolationName(interpolation),
                channels, bench::Spread(bench::Summarise(figures[0]), 1, 1e6).c_str(),
                bench::Spread(bench::Summarise(figures[1]), 1, 1e6).c_str(),
                bench::Spread(bench::Summarise(bench::Ratios(figures[1], figures[0])), 1).c_str());
            std::fflush(stdout);
        }
    }
}

// One thread against every thread on the many-track stereo mix. By wall
// time, which is what the threads are for; the processor time they got shows
// whether other programs held the processors meanwhile, and the gain per
// processor second what the threads give when they have the processors.
void ThreadScaling(std::uint32_t threads)
{
    threads = std::max(threads, 2u);
    std::printf("\n## Threads: the many-track mix, stereo, fast loops, %u threads against 1, "
                "blocks of %u frames\n\n",
        threads, bench::kBlockFrames);
    std::printf("| Interpolation | 1 thread, M voice-frames/s | %u threads | Gain | Processor "
                "time / wall time, %u threads | Gain per processor second x %u |\n"
                "|---|---|---|---|---|---|\n",
        threads, threads, threads);
    for (const auto interpolation : { Interpolation::kLinear, Interpolation::kSinc }) {
        const auto project = bench::MakeMixProject(2, interpolation);
        // Blocks of the project's block length, as a mix renders them.
        MixWay one(*project, bench::kMixVoices, audio::KernelPath::kFast, 1, bench::kBlockFrames);
        MixWay many(
            *project, bench::kMixVoices, audio::KernelPath::kFast, threads, bench::kBlockFrames);
        const double window = g_options.seconds;
        const auto perCpu = bench::Alternate(g_options.rounds,
            { [&] { return one.measure(window); }, [&] { return many.measure(window); } });
        std::vector<double> efficiency = bench::Ratios(perCpu[1], perCpu[0]);
        for (double& e : efficiency)
            e *= threads;
        std::printf("| %s | %s | %s | **%s** | %s | %s |\n", InterpolationName(interpolation),
            bench::Spread(bench::Summarise(one.wallRates()), 1, 1e6).c_str(),
            bench::Spread(bench::Summarise(many.wallRates()), 1, 1e6).c_str(),
            bench::Spread(bench::Summarise(bench::Ratios(many.wallRates(), one.wallRates())), 2)
                .c_str(),
            bench::Spread(bench::Summarise(many.cpuShares()), 2).c_str(),
            bench::Spread(bench::Summarise(efficiency), 2).c_str());
        std::fflush(stdout);
    }
    std::printf("\nThe gain is by wall time. With processor time below %u per wall second the "
                "threads waited for the processors (other programs ran), which caps it; the last "
                "column is the gain the threads would give with the processors to themselves "
                "(their throughput per processor second against one thread's, times %u).\n",
        threads, threads);
}

// ---- the preview's real-time budget ----

constexpr std::uint32_t kBudgetFrames = 441; // 10 ms at 44100 Hz

struct BlockTime {
    double processor = 0; // seconds of processor time per 10 ms block, median over rounds
    double wall = 0; // seconds of wall time per block, median over rounds
};

// Renders 10 ms blocks of "Use sinc" stereo with `voices` voices on one
// thread, 100 ms of audio per round.
BlockTime TimeBlocks(std::uint32_t voices)
{
    const auto project = bench::MakeMixProject(2, Interpolation::kSinc, false, voices);
    MixWay way(*project, voices, audio::KernelPath::kFast, 1, kBudgetFrames);
    constexpr int kBlocks = 10;
    std::vector<double> processor;
    std::vector<double> wall;
    way.render(); // the tables into the caches
    for (int round = 0; round < std::max(3, g_options.rounds / 2); ++round) {
        const double cpu0 = ProcessCpuSeconds();
        const auto t0 = Clock::now();
        for (int b = 0; b < kBlocks; ++b)
            way.render();
        wall.push_back(Since(t0) / kBlocks);
        processor.push_back((ProcessCpuSeconds() - cpu0) / kBlocks);
    }
    return { bench::Summarise(processor).median, bench::Summarise(wall).median };
}

// The most voices whose 10 ms blocks take at most 10 ms of processor time:
// doubles from 64 while they fit, then halves the gap to 1/64 of it.
void Budget()
{
    std::printf("\n## The preview's budget: \"Use sinc\", stereo, one thread, 10 ms blocks\n\n");
    std::uint32_t fits = 0;
    BlockTime fitsTime;
    std::uint32_t fails = 0;
    constexpr std::uint32_t kMost = 64 * 64;
    constexpr double kBudget = 0.010;
    for (std::uint32_t voices = 64; voices <= kMost; voices *= 2) {
        const BlockTime t = TimeBlocks(voices);
        if (t.processor > kBudget) {
            fails = voices;
            break;
        }
        fits = voices;
        fitsTime = t;
    }
    if (fails == 0) {
        std::printf("Even %u voices (the most a project holds) take %.2f ms per 10 ms block.\n",
            fits, fitsTime.processor * 1e3);
        return;
    }
    while (fails - fits > std::max(1u, fails / 64)) {
        const std::uint32_t voices = fits + (fails - fits) / 2;
        const BlockTime t = TimeBlocks(voices);
        if (t.processor > kBudget) {
            fails = voices;
        } else {
            fits = voices;
            fitsTime = t;
        }
    }
    if (fits == 0)
        std::printf("Not even 64 voices fit 10 ms of processor time per 10 ms block.\n");
    else
        std::printf("**%u voices** render a 10 ms block within 10 ms of processor time (median "
                    "%.2f ms; %.2f ms of wall time under the present load); %u voices take "
                    "longer.\n",
            fits, fitsTime.processor * 1e3, fitsTime.wall * 1e3, fails);
}

// ---- subprocesses ----

struct Run {
    bool ok = false;
    double seconds = 0; // wall time
    double processorSeconds = 0; // user and system time of the program, all its threads
};

// Runs a program with its output thrown away; its wall and processor time.
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
        rusage usage {};
        if (wait4(pid, &status, 0, &usage) == pid) {
            run.seconds = Since(t0);
            run.processorSeconds = double(usage.ru_utime.tv_sec) + double(usage.ru_stime.tv_sec)
                + (double(usage.ru_utime.tv_usec) + double(usage.ru_stime.tv_usec)) * 1e-6;
            run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

// Programs run in alternation: the wall and processor seconds of each run,
// per program round by round, or nothing when a run failed.
struct ProgramTimes {
    std::vector<std::vector<double>> wall;
    std::vector<std::vector<double>> processor;
};

std::optional<ProgramTimes> AlternateRuns(
    int rounds, const std::vector<std::vector<std::string>>& commands)
{
    bool failed = false;
    ProgramTimes times;
    times.processor.resize(commands.size());
    std::vector<std::function<double()>> contenders;
    for (std::size_t c = 0; c < commands.size(); ++c) {
        contenders.push_back([&, c] {
            const Run r = Spawn(commands[c]);
            failed = failed || !r.ok;
            times.processor[c].push_back(r.processorSeconds);
            return r.seconds;
        });
    }
    times.wall = bench::Alternate(rounds, contenders);
    if (failed)
        return std::nullopt;
    return times;
}

// Seconds are times, not rates: the ratio that says "a is k times as fast
// as b" is b's time over a's.
std::string SpeedUp(const std::vector<double>& fastSeconds, const std::vector<double>& slowSeconds)
{
    return bench::Spread(bench::Summarise(bench::Ratios(slowSeconds, fastSeconds)), 1);
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

bool SameBytes(const std::string& a, const std::string& b)
{
    std::ifstream fa(a, std::ios::binary);
    std::ifstream fb(b, std::ios::binary);
    if (!fa || !fb)
        return false;
    return std::equal(std::istreambuf_iterator<char>(fa), std::istreambuf_iterator<char>(),
               std::istreambuf_iterator<char>(fb), std::istreambuf_iterator<char>())
        && std::istreambuf_iterator<char>(fb) == std::istreambuf_iterator<char>();
}

OutputFormat Format(std::uint16_t channels, std::uint32_t rate)
{
    OutputFormat format { kFormatPcm, channels, rate, 0, 0, 16, 0 };
    CompleteOutputFormat(format);
    return format;
}

// ---- imported scores, end to end ----

// The imported project at `path` rewritten with "Use sinc" mixing beside it.
bool WriteSincCopy(const std::string& path, const std::string& copy)
{
    const std::unique_ptr<Project> project = CreateProject();
    if (!ReadProjectFile(path, *project))
        return false;
    project->settings.mixingInterpolation = static_cast<std::uint32_t>(Interpolation::kSinc);
    return WriteProjectFile(*project, copy) == ProjectWriteResult::kOk;
}

// Seconds of audio in a 16-bit stereo WAVE file of 44100 Hz with a 44-byte header.
double AudioSeconds(const std::string& wave)
{
    std::error_code error;
    const auto bytes = std::filesystem::file_size(wave, error);
    return error || bytes < 44 ? 0.0 : double(bytes - 44) / (4 * 44100.0);
}

void ScoresTable(const std::string& dir, std::uint32_t threads)
{
    std::printf("\n## Imported scores, end to end: `vellisto-cli mix`\n\n");
    const std::string cli = VEL_CLI_PATH;
    const bool made = Spawn({ VEL_MAKE_DEMO_PATH, dir + "/demo.spj" }).ok // the six samples
        && std::filesystem::copy_file(
            VEL_DEMO_CHART, dir + "/chart.bms", std::filesystem::copy_options::overwrite_existing)
        && Spawn({ cli, "convert", dir + "/chart.bms", "-o", dir + "/chart.spj" }).ok
        && Spawn({ VEL_MAKE_DEMO_SONG_PATH, dir }).ok
        && Spawn({ cli, "convert", dir + "/song.mid", "--compat", "auto", "--sound-list",
                     dir + "/song-kit.spj", "-o", dir + "/song.spj" })
               .ok
        && WriteSincCopy(dir + "/chart.spj", dir + "/chart-sinc.spj")
        && WriteSincCopy(dir + "/song.spj", dir + "/song-sinc.spj");
    if (!made) {
        std::printf("Cannot import the demo scores.\n");
        return;
    }
    std::printf("The demo chart (BMS) and the demo MIDI song with its kit "
                "(`examples/demo`), each imported with `vellisto-cli convert`, mixed as "
                "imported (\"Linear\") and with \"Use sinc\": the whole program, loading the "
                "sounds and writing the file included. One thread: processor seconds of the "
                "program (user and system); %u threads: wall seconds, against the reference's "
                "wall seconds. Medians [lowest-highest round]; the speed-ups are taken round by "
                "round.\n\n",
        threads);
    if (audio::CurrentVectorIsa() != audio::DetectedVectorIsa())
        std::printf("vellisto-cli runs with the processor's widest vector instructions (%s), "
                    "whatever --isa says.\n\n",
            IsaName(audio::DetectedVectorIsa()));
    std::printf("| Score | Audio | Reference, 1 thread | Fast, 1 thread | Speed-up | Reference, "
                "wall | Fast, %u threads, wall | Speed-up | Same bytes |\n"
                "|---|---|---|---|---|---|---|---|---|\n",
        threads);
    const int rounds = std::max(3, g_options.rounds);
    for (const char* name : { "chart", "chart-sinc", "song", "song-sinc" }) {
        const std::string project = dir + "/" + name + ".spj";
        const auto mix = [&](const char* out, std::vector<std::string> more) {
            std::vector<std::string> argv { cli, "mix", project, "-o", dir + "/" + out, "--quiet" };
            argv.insert(argv.end(), more.begin(), more.end());
            return argv;
        };
        const auto times = AlternateRuns(rounds,
            { mix("reference.wav", { "--reference", "--threads", "1" }),
                mix("fast-1.wav", { "--threads", "1" }),
                mix("fast-all.wav", { "--threads", std::to_string(threads) }) });
        if (!times) {
            std::printf("| %s | the mix failed | | | | | | | |\n", name);
            continue;
        }
        const bool same = SameBytes(dir + "/reference.wav", dir + "/fast-1.wav")
            && SameBytes(dir + "/reference.wav", dir + "/fast-all.wav");
        std::printf("| %s | %.1f s | %s | %s | **%s** | %s | %s | **%s** | %s |\n", name,
            AudioSeconds(dir + "/reference.wav"),
            bench::Spread(bench::Summarise(times->processor[0]), 3).c_str(),
            bench::Spread(bench::Summarise(times->processor[1]), 3).c_str(),
            SpeedUp(times->processor[1], times->processor[0]).c_str(),
            bench::Spread(bench::Summarise(times->wall[0]), 3).c_str(),
            bench::Spread(bench::Summarise(times->wall[2]), 3).c_str(),
            SpeedUp(times->wall[2], times->wall[0]).c_str(), same ? "yes" : "**no**");
        std::fflush(stdout);
    }
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
    const audio::VectorIsa isa = audio::CurrentVectorIsa();
    const auto conversion = [&](audio::ConversionRun run) {
        return [&, run] {
            const auto t0 = Clock::now();
            audio::RunConversion(*plan, input, output, run);
            return Since(t0);
        };
    };
    const int rounds = std::clamp(g_options.rounds, 3, 5);
    const auto inMemory = bench::Alternate(rounds,
        { conversion({ audio::KernelPath::kReference, isa, 1 }),
            conversion({ audio::KernelPath::kFast, isa, 1 }),
            conversion({ audio::KernelPath::kFast, isa, threads }) });

    // The same input as a file, for the programs.
    const std::string in = dir + "/tones-44100.wav";
    const auto header = audio::MakeWaveHeader(Format(2, kInRate), frames * 4);
    WriteFile(in, header.data(), header.size(), input, std::size_t { frames } * 4);
    const auto resample = [&](std::uint32_t t) {
        return std::vector<std::string> { VEL_CLI_PATH, "resample", in, "-o",
            dir + "/cli-48000.wav", "--rate", "48000", "--interp", "sinc", "--threads",
            std::to_string(t) };
    };
    const auto programs = AlternateRuns(rounds, { resample(1), resample(threads) });
    const auto sox
        = AlternateRuns(rounds, { { "sox", in, dir + "/sox-48000.wav", "rate", "-v", "48000" } });

    std::printf("\n## Loading conversion: 60 s of 44100 Hz stereo to 48000 Hz, \"Use sinc\"\n\n");
    std::printf("Wall seconds, median [lowest-highest round]; for the programs also their "
                "processor seconds (user and system).\n\n| Conversion | Seconds | x real time | "
                "Processor seconds |\n|---|---|---|---|\n");
    const auto row = [&](const std::string& name, const std::vector<double>& seconds,
                         const std::vector<double>* processor = nullptr) {
        const bench::Summary s = bench::Summarise(seconds);
        std::printf("| %s | %s | %.0fx | %s |\n", name.c_str(), bench::Spread(s, 3).c_str(),
            kSeconds / s.median,
            processor != nullptr ? bench::Spread(bench::Summarise(*processor), 3).c_str() : "");
    };
    const std::string all = std::to_string(threads) + " threads";
    row("reference loops, in memory, 1 thread", inMemory[0]);
    row("fast loops, in memory, 1 thread", inMemory[1]);
    row("fast loops, in memory, " + all, inMemory[2]);
    if (audio::CurrentVectorIsa() != audio::DetectedVectorIsa())
        std::printf("| (vellisto-cli below runs with %s, whatever --isa says) | | | |\n",
            IsaName(audio::DetectedVectorIsa()));
    if (programs) {
        row("`vellisto-cli resample --interp sinc --threads 1`, file to file", programs->wall[0],
            &programs->processor[0]);
        row("`vellisto-cli resample --interp sinc`, " + all + ", file to file", programs->wall[1],
            &programs->processor[1]);
    }
    if (sox)
        row("`sox in.wav out.wav rate -v 48000`, file to file", sox->wall[0], &sox->processor[0]);
    else
        std::printf("| sox rate -v | not run (sox missing or failed) | | |\n");
    std::printf("\nFast / reference (1 thread, round by round): %sx.\n",
        SpeedUp(inMemory[1], inMemory[0]).c_str());
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

int Usage()
{
    std::fprintf(stderr,
        "usage: vellisto-bench-perf [--seconds S] [--rounds N] "
        "[--isa portable|sse2|avx2|avx512] [--only mix,threads,budget,scores,conversion,memory]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 >= argc)
            return Usage();
        const std::string option = argv[i];
        const char* value = argv[i + 1];
        if (option == "--seconds") {
            g_options.seconds = std::clamp(std::atof(value), 0.01, 60.0);
        } else if (option == "--rounds") {
            g_options.rounds = std::clamp(std::atoi(value), 1, 1000);
        } else if (option == "--isa") {
            g_options.isa = ParseIsa(value);
            if (!g_options.isa)
                return Usage();
        } else if (option == "--only") {
            std::string list = value;
            for (std::size_t start = 0; start <= list.size();) {
                const std::size_t comma = std::min(list.find(',', start), list.size());
                if (comma > start)
                    g_options.only.push_back(list.substr(start, comma - start));
                start = comma + 1;
            }
        } else {
            return Usage();
        }
    }
    audio::BuildSincTables();
    if (audio::SincWeights() == nullptr) {
        std::fprintf(stderr, "vellisto-bench-perf: no memory for the sinc weight tables\n");
        return 1;
    }
    if (g_options.isa)
        audio::SetVectorIsa(*g_options.isa);
    const std::uint32_t threads = audio::WorkerThreads();
    const bench::Machine machine = bench::DescribeMachine();
    std::printf("# Reference loops against fast loops\n\n%s", bench::MachineText(machine).c_str());
    std::printf("- Vector instructions of the fast loops: %s (the processor's widest: %s)\n",
        IsaName(audio::CurrentVectorIsa()), IsaName(audio::DetectedVectorIsa()));
    std::printf("- Threads: %u; %d rounds of %.2f s windows\n", threads, g_options.rounds,
        g_options.seconds);
    std::printf("- Load average (1, 5, 15 min) at the start: %s\n", bench::LoadAverage().c_str());
    std::fflush(stdout);

    std::string dir = (std::filesystem::temp_directory_path() / "vellisto-bench-XXXXXX").string();
    if (::mkdtemp(dir.data()) == nullptr) {
        std::fprintf(stderr, "vellisto-bench-perf: cannot make a scratch folder\n");
        return 1;
    }
    if (g_options.runs("mix"))
        MixTable();
    if (g_options.runs("threads"))
        ThreadScaling(threads);
    if (g_options.runs("budget"))
        Budget();
    if (g_options.runs("scores"))
        ScoresTable(dir, threads);
    if (g_options.runs("conversion"))
        ConversionTable(dir, threads);
    if (g_options.runs("memory"))
        MemoryTable(dir);
    std::printf("\nLoad average (1, 5, 15 min) at the end: %s\n", bench::LoadAverage().c_str());
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return 0;
}
