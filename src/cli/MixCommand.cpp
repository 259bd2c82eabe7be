// SPDX-License-Identifier: MIT
// vellisto-cli mix INPUT [-o OUT.wav] [IMPORT OPTIONS] [--track-list OTHER.spj]
//                        [--strict] [--quiet] [--json] [--threads N] [--reference]
// Mixes the input into a WAVE file with the same mix command the desktop
// uses, answering its questions from the options. The end report is text, or
// with --json one JSON object on standard output for scripts.

#include "document/MixCommand.h"

#include "audio/Acceleration.h"
#include "cli/Args.h"
#include "cli/CliUserInterface.h"
#include "cli/Commands.h"
#include "cli/ComputeOptions.h"
#include "cli/Encode.h"
#include "cli/Input.h"
#include "cli/Json.h"
#include "engine/WaveWriter.h"
#include "mix/MixLevels.h"
#include "mix/MixReport.h"
#include "mix/SoundCache.h"
#include "model/UnitText.h"
#include "platform/File.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace vellisto::cli {

namespace {

    struct FailedSound {
        std::uint32_t id;
        std::string path;
        std::string reason;
    };

    // What the end report says; the parts not reached stay unset.
    struct MixOutcome {
        std::string input;
        std::string output;
        std::optional<std::uint32_t> lengthFrames; // once the input is open
        std::uint32_t samplesPerSecond = 0;
        std::optional<std::uint64_t> elapsedMs; // once the mix is complete
        std::vector<FailedSound> failedSounds;
        std::optional<mix::MixLevels> levels; // once the output is written
    };

    // result: "ok", "failed" (the messages say why) or "aborted" (by a signal).
    std::string JsonReport(const MixOutcome& outcome, std::string_view result,
        const std::vector<std::string>& messages)
    {
        JsonWriter json;
        json.beginObject();
        json.key("result");
        json.string(result);
        json.key("input");
        json.string(outcome.input);
        json.key("output");
        json.string(outcome.output);
        if (outcome.lengthFrames) {
            json.key("sampleRate");
            json.number(outcome.samplesPerSecond);
            json.key("lengthFrames");
            json.number(*outcome.lengthFrames);
            json.key("lengthTime");
            json.string(FormatTime(*outcome.lengthFrames, outcome.samplesPerSecond));
        }
        if (outcome.lengthFrames && outcome.elapsedMs) {
            // The figures of the text report, to its precision.
            json.key("timeTakenMs");
            json.number(*outcome.elapsedMs);
            json.key("timeTakenSeconds");
            json.decimal(static_cast<double>(*outcome.elapsedMs) * 0.001, 3);
            json.key("speed");
            json.decimal(mix::MixingSpeed(
                             *outcome.lengthFrames, outcome.samplesPerSecond, *outcome.elapsedMs),
                4);
        }
        if (outcome.levels) {
            json.key("peakDbfs"); // null for silence
            json.decimal(outcome.levels->peakDbfs(), 1);
            json.key("clippedSamples");
            json.number(outcome.levels->clippedSamples);
        }
        json.key("failedSounds");
        json.beginArray();
        for (const FailedSound& sound : outcome.failedSounds) {
            json.beginObject();
            json.key("id");
            json.number(sound.id);
            json.key("path");
            json.string(sound.path);
            json.key("reason");
            json.string(sound.reason);
            json.endObject();
        }
        json.endArray();
        json.key("messages");
        json.beginArray();
        for (const std::string& message : messages)
            json.string(message);
        json.endArray();
        json.endObject();
        return json.text();
    }

    // The mix itself, after the arguments have been parsed; fills outcome
    // as far as it gets.
    int Mix(const ParsedArgs& parsed, const std::string& input, const std::string& output,
        bool json, bool quiet, MixOutcome& outcome)
    {
        outcome.input = input;
        outcome.output = output;
        if (ReplacesAnInput(output,
                { input, parsed.value(kSoundListOption).value_or(""),
                    parsed.value(kTrackListOption).value_or("") }))
            return UsageError(kMixCommand, "the output would replace an input");
        if (!CheckOutputPath(output))
            return kExitFailure;
        const bool strict = parsed.has(kStrictOption);

        const auto trackList = parsed.value(kTrackListOption);
        if (trackList && trackList->empty())
            return UsageError(kMixCommand, "--track-list needs a project file");

        const auto [project, exitCode] = OpenCommandInput(kMixCommand, parsed, input);
        if (!project)
            return exitCode;
        if (trackList && !ApplyTrackList(*project, std::string(*trackList)))
            return kExitFailure;

        // Relative sound names are resolved against the input's folder, so the
        // document path must name one even for a bare file name.
        std::error_code error;
        const std::string documentPath = std::filesystem::absolute(input, error).string();

        // A compressed output is encoded from a temporary WAVE file beside it,
        // removed whatever happens.
        const OutputEncoding encoding = EncodingOf(output);
        std::string mixPath = output;
        struct RemoveFile {
            std::string path;
            ~RemoveFile()
            {
                if (!path.empty())
                    std::remove(path.c_str());
            }
        } temporaryWave;
        if (encoding != OutputEncoding::kWave) {
            for (const mix::SoundFileReport& sound :
                mix::DescribeSoundFiles(*project, documentPath))
                if (sound.found && ReplacesAnInput(output, { sound.path }))
                    return UsageError(
                        kMixCommand, "the output would replace a sound the mix reads");
            const OutputFormat& format = project->settings.outputFormat;
            if (const auto refusal
                = EncodingRefusal(output, encoding, format.samplesPerSecond, format.channels))
                return Failure(Text(TextId::kFailedMixing), *refusal);
            const auto created = CreateFileBeside(output, ".wav");
            if (!created)
                return Failure(Text(TextId::kFailedMixing),
                    output + ": cannot create a temporary file beside it: " + std::strerror(errno));
            temporaryWave.path = mixPath = *created;
        }

        outcome.lengthFrames = engine::MixLength(*project);
        outcome.samplesPerSecond = project->settings.outputFormat.samplesPerSecond;
        CliAnswers answers { mixPath, strict, !quiet && ::isatty(STDERR_FILENO) == 1, {} };
        if (!quiet && !json)
            answers.startLine = "mix length: " + std::to_string(*outcome.lengthFrames) + " frames ("
                + FormatTime(*outcome.lengthFrames, outcome.samplesPerSecond) + ")";
        const InterruptGuard interrupts;
        CliUserInterface ui(std::move(answers));
        MixOptions options;
        options.interrupt = &InterruptFlag();
        options.reportSoundFailure
            = [strict, &outcome](std::uint32_t id, const mix::SoundFailure& failure) {
                  const std::string reason = mix::DescribeSoundFailure(failure);
                  PrintDiagnostic(std::string("vellisto-cli: ") + (strict ? "error" : "warning")
                      + ": sound " + std::to_string(id) + ": " + failure.path + ": " + reason);
                  outcome.failedSounds.push_back({ id, failure.path, reason });
              };
        options.reportFinished = [&outcome](const MixFigures& figures) {
            outcome.lengthFrames = figures.lengthFrames;
            outcome.elapsedMs = figures.elapsedMs;
            outcome.levels = figures.levels;
        };
        const bool ok = MixProject(*project, documentPath, ui, ui, ui, options);
        if (!ok) {
            for (const std::string& notice : ui.notices())
                PrintDiagnostic(notice);
            return kExitFailure;
        }
        if (encoding != OutputEncoding::kWave) {
            std::string reason;
            if (!EncodeWaveFile(mixPath, output, encoding, InterruptFlag(), reason)) {
                outcome.levels.reset();
                return Failure(
                    Text(InterruptFlag().load() ? TextId::kAborted : TextId::kFailedMixing),
                    reason);
            }
        }
        if (!quiet && !json)
            for (const std::string& notice : ui.notices())
                std::printf("%s\n", notice.c_str());
        if (!outcome.levels)
            PrintDiagnostic(
                "vellisto-cli: warning: " + output + ": cannot be read back to measure its level");
        return kExitOk;
    }

} // namespace

namespace {

    // "flac" for -f flac; nullopt for a name that is no encoding.
    std::optional<std::string_view> FormatExtension(std::string_view name)
    {
        for (const std::string_view known : { "wav", "flac", "ogg", "opus" })
            if (name == known)
                return known;
        return std::nullopt;
    }

    // The output of each input: -o for a single input, else the input's name
    // with the extension of -f in --out-dir or beside the input. nullopt after
    // a usage error (or a failure, exitCode says which).
    std::optional<std::vector<std::string>> OutputPaths(const ParsedArgs& parsed, int& exitCode)
    {
        exitCode = kExitUsage;
        const auto& inputs = parsed.positional;
        const auto outDir = parsed.value(kOutDirOption);
        const auto format = parsed.value(kFormatOption);
        if (const auto o = parsed.value(kOutputOption)) {
            if (o->empty()) {
                UsageError(kMixCommand, "-o needs a file name");
                return std::nullopt;
            }
            if (inputs.size() > 1 || outDir || format) {
                UsageError(kMixCommand,
                    "-o names the output of one input; use --out-dir and -f with several");
                return std::nullopt;
            }
            return std::vector<std::string> { std::string(*o) };
        }
        std::string extension = ".wav";
        if (format) {
            const auto known = FormatExtension(*format);
            if (!known) {
                UsageError(kMixCommand, "-f must be wav, flac, ogg or opus");
                return std::nullopt;
            }
            extension.assign(1, '.').append(*known);
        }
        namespace fs = std::filesystem;
        if (outDir) {
            std::error_code error;
            if (outDir->empty()) {
                UsageError(kMixCommand, "--out-dir needs a folder");
                return std::nullopt;
            }
            if (!fs::is_directory(fs::path(*outDir), error)) {
                exitCode = kExitFailure;
                PrintDiagnostic("vellisto-cli: " + std::string(*outDir) + ": no such folder");
                return std::nullopt;
            }
        }
        std::vector<std::string> outputs;
        for (const std::string_view input : inputs) {
            fs::path output = fs::path(input).replace_extension(extension);
            if (outDir)
                output = fs::path(*outDir) / output.filename();
            outputs.push_back(output.string());
        }
        // No output replaces an input of the batch, and two inputs with the
        // same name would write the same file.
        for (std::size_t i = 0; i < outputs.size(); ++i)
            for (const std::string_view other : inputs)
                if (ReplacesAnInput(outputs[i], { other })) {
                    UsageError(
                        kMixCommand, outputs[i] + " would replace the input " + std::string(other));
                    return std::nullopt;
                }
        for (std::size_t i = 0; i < outputs.size(); ++i)
            for (std::size_t j = 0; j < i; ++j)
                if (fs::path(outputs[i]).lexically_normal()
                    == fs::path(outputs[j]).lexically_normal()) {
                    UsageError(kMixCommand,
                        std::string(inputs[j]) + " and " + std::string(inputs[i])
                            + " would both be written to " + outputs[i]);
                    return std::nullopt;
                }
        return outputs;
    }

    std::string_view ResultWord(int exitCode)
    {
        return exitCode == kExitOk ? "ok" : InterruptFlag().load() ? "aborted" : "failed";
    }

    // The result line of one input of a batch.
    std::string ResultLine(const MixOutcome& outcome, int result, std::string_view word)
    {
        std::string line = outcome.input + ": " + std::string(word);
        if (result == kExitOk) {
            line += ": " + outcome.output;
            if (outcome.levels)
                line += ", peak " + mix::FormatDbfs(outcome.levels->peakDbfs()) + " dBFS, "
                    + std::to_string(outcome.levels->clippedSamples) + " clipped samples";
        }
        return line;
    }

    // The inputs of a batch, taken in command-line order by the workers
    // that mix them, and their results, printed in the same order by the
    // thread that started the workers.
    class Batch {
    public:
        Batch(const ParsedArgs& parsed, const std::vector<std::string>& outputs, bool json)
            : m_parsed(parsed)
            , m_outputs(outputs)
            , m_json(json)
            , m_results(outputs.size())
        {
        }

        // Mixes inputs until none is left or an interrupt came; any number
        // of threads may run it at once.
        void work()
        {
            for (;;) {
                const std::size_t i = m_next.fetch_add(1);
                if (i >= m_outputs.size())
                    return;
                if (InterruptFlag().load()) {
                    finish(i, Result::kSkipped, {});
                    continue;
                }
                finish(i, Result::kDone, mixOne(i));
            }
        }

        // Counts a worker in before it starts, and out when it has ended.
        void workerStarting()
        {
            const std::lock_guard lock(m_mutex);
            ++m_workers;
        }
        void workerEnded()
        {
            const std::lock_guard lock(m_mutex);
            --m_workers;
            m_changed.notify_all();
        }

        // Prints each input's line (or gathers its report) as soon as it and
        // every input before it are done; returns once the workers have all
        // ended. true when every input was mixed.
        bool report()
        {
            bool allOk = true;
            std::string reports;
            for (std::size_t i = 0; i < m_results.size(); ++i) {
                std::unique_lock lock(m_mutex);
                m_changed.wait(
                    lock, [&] { return m_results[i].state != Result::kPending || m_workers == 0; });
                if (m_results[i].state == Result::kPending)
                    break; // never taken: the workers stopped at an interrupt
                if (m_results[i].state == Result::kSkipped) {
                    allOk = false;
                    continue;
                }
                const Done done = std::move(m_results[i].done);
                lock.unlock();
                allOk = allOk && done.exitCode == kExitOk;
                if (m_json) {
                    reports += (reports.empty() ? "[\n" : ",\n")
                        + JsonReport(done.outcome, done.word, done.messages);
                    continue;
                }
                const std::string line = ResultLine(done.outcome, done.exitCode, done.word);
                std::printf("%s\n", line.c_str());
                std::fflush(stdout);
            }
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [&] { return m_workers == 0; });
            if (m_json) {
                reports += reports.empty() ? "[\n]\n" : "]\n";
                std::fwrite(reports.data(), 1, reports.size(), stdout);
            }
            return allOk && m_next.load() >= m_results.size();
        }

    private:
        struct Done {
            int exitCode = kExitFailure;
            std::string_view word; // ok, failed or aborted, as the mix ended
            MixOutcome outcome;
            std::vector<std::string> messages; // what this mix printed on standard error
        };
        struct Result {
            enum State { kPending, kDone, kSkipped } state = kPending;
            Done done;
        };

        Done mixOne(std::size_t i)
        {
            Done done;
            const std::string input(m_parsed.positional[i]);
            done.outcome.input = input;
            done.outcome.output = m_outputs[i];
            // Only this thread's lines: the mixes beside it keep theirs.
            const DiagnosticLog log;
            try {
                done.exitCode = Mix(m_parsed, input, m_outputs[i], m_json, true, done.outcome);
            } catch (const std::exception& error) {
                // Out of memory, say: this input fails, the others go on.
                done.exitCode = Failure(
                    Text(TextId::kFailedMixing), input + ": " + std::string(error.what()));
            }
            done.word = ResultWord(done.exitCode);
            done.messages = log.lines();
            return done;
        }

        void finish(std::size_t i, Result::State state, Done done)
        {
            const std::lock_guard lock(m_mutex);
            m_results[i].state = state;
            m_results[i].done = std::move(done);
            m_changed.notify_all();
        }

        const ParsedArgs& m_parsed;
        const std::vector<std::string>& m_outputs;
        const bool m_json;
        std::atomic<std::size_t> m_next { 0 };
        std::mutex m_mutex; // guards m_results and m_workers
        std::condition_variable m_changed;
        std::vector<Result> m_results;
        std::size_t m_workers = 0;
    };

    // Several inputs: up to one per hardware thread mixed at the same time,
    // one result line (or report) per input in the order given, and a
    // failure never stops the others. An interruption stops the whole batch:
    // the mixes under way abort and no other starts.
    int RunBatch(const ParsedArgs& parsed, const std::vector<std::string>& outputs, bool json)
    {
        // The threads a mix may use (--threads, else every hardware thread)
        // are the whole batch's: each of its mixes gets an equal share, so
        // that mixes side by side do not ask for more threads than that.
        const std::uint32_t budget = audio::WorkerThreads();
        const std::size_t workers = std::min<std::size_t>(
            { outputs.size(), std::max(1u, std::thread::hardware_concurrency()), budget });
        audio::SetWorkerThreads(
            std::max<std::uint32_t>(1, budget / static_cast<std::uint32_t>(workers)));

        // One guard for the whole batch; the guards of the mixes nest in it.
        const InterruptGuard interrupts;
        Batch batch(parsed, outputs, json);
        std::vector<std::thread> threads;
        for (std::size_t i = 0; i < workers; ++i) {
            batch.workerStarting();
            try {
                threads.emplace_back([&batch] {
                    batch.work();
                    batch.workerEnded();
                });
            } catch (const std::exception&) {
                batch.workerEnded(); // no thread to be had: the others mix more
                break;
            }
        }
        if (threads.empty()) {
            // Not even one thread: the inputs are mixed here, one after another.
            batch.workerStarting();
            batch.work();
            batch.workerEnded();
        }
        const bool allOk = batch.report();
        for (std::thread& thread : threads)
            thread.join();
        return allOk && !InterruptFlag().load() ? kExitOk : kExitFailure;
    }

} // namespace

int RunMix(CommandArgs args)
{
    const auto parsed = ParseOneInput(kMixCommand, args);
    if (!parsed)
        return kExitUsage;
    const bool json = parsed->has(kJsonOption);
    const bool quiet = parsed->has(kQuietOption);
    if (std::string bad; !ApplyComputeOptions(*parsed, bad))
        return UsageError(kMixCommand, bad);
    int exitCode = kExitOk;
    const auto outputs = OutputPaths(*parsed, exitCode);
    if (!outputs)
        return exitCode;

    if (outputs->size() == 1) {
        const DiagnosticLog log;
        MixOutcome outcome;
        exitCode = Mix(
            *parsed, std::string(parsed->positional[0]), outputs->front(), json, quiet, outcome);
        // A usage error is the one outcome without a report: nothing was tried.
        if (json && exitCode != kExitUsage) {
            const std::string report = JsonReport(outcome, ResultWord(exitCode), log.lines());
            std::fwrite(report.data(), 1, report.size(), stdout);
        }
        return exitCode;
    }

    return RunBatch(*parsed, *outputs, json);
}

} // namespace vellisto::cli
