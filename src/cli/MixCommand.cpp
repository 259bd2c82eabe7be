// SPDX-License-Identifier: MIT
// vellisto-cli mix INPUT [-o OUT.wav] [IMPORT OPTIONS] [--track-list OTHER.spj]
//                        [--strict] [--quiet] [--threads N] [--reference]
// Mixes the input into a WAVE file with the same mix command the desktop
// uses, answering its questions from the options.

#include "document/MixCommand.h"

#include "cli/Args.h"
#include "cli/CliUserInterface.h"
#include "cli/Commands.h"
#include "cli/ComputeOptions.h"
#include "cli/Input.h"
#include "engine/WaveWriter.h"
#include "mix/SoundCache.h"
#include "model/UnitText.h"
#include "platform/File.h"

#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace vellisto::cli {

namespace {

    constexpr OptionSpec kOptions[] = { { "-o", true }, kCompatOption, kRateOption, kChannelsOption,
        kSoundListOption, { "--track-list", true }, { "--strict", false }, { "--quiet", false },
        kThreadsOption, kReferenceOption };

} // namespace

int RunMix(CommandArgs args)
{
    const auto parsed = ParseOneInput("mix", kMixUsage, args, kOptions);
    if (!parsed)
        return kExitUsage;
    const std::string input(parsed->positional[0]);
    std::string output = std::filesystem::path(input).replace_extension(".wav").string();
    if (const auto o = parsed->value("-o")) {
        if (o->empty())
            return UsageError("mix", kMixUsage, "-o needs a file name");
        output = std::string(*o);
    }
    if (std::string bad; !ApplyComputeOptions(*parsed, bad))
        return UsageError("mix", kMixUsage, bad);
    if (ReplacesAnInput(output,
            { input, parsed->value(kSoundListOption.name).value_or(""),
                parsed->value("--track-list").value_or("") }))
        return UsageError("mix", kMixUsage, "the output would replace an input");
    if (!CheckOutputPath(output))
        return kExitFailure;
    const bool strict = parsed->has("--strict");
    const bool quiet = parsed->has("--quiet");

    const auto trackList = parsed->value("--track-list");
    if (trackList && trackList->empty())
        return UsageError("mix", kMixUsage, "--track-list needs a project file");

    const auto [project, exitCode] = OpenCommandInput("mix", kMixUsage, *parsed);
    if (!project)
        return exitCode;
    if (trackList && !ApplyTrackList(*project, std::string(*trackList)))
        return kExitFailure;

    CliAnswers answers { output, strict, !quiet && ::isatty(STDERR_FILENO) == 1, {} };
    if (!quiet) {
        const std::uint32_t frames = engine::MixLength(*project);
        answers.startLine = "mix length: " + std::to_string(frames) + " frames ("
            + FormatTime(frames, project->settings.outputFormat.samplesPerSecond) + ")";
    }
    const InterruptGuard interrupts;
    CliUserInterface ui(std::move(answers));
    MixOptions options;
    options.interrupt = &InterruptFlag();
    options.reportSoundFailure = [strict](std::uint32_t id, const mix::SoundFailure& failure) {
        std::fprintf(stderr, "vellisto-cli: %s: sound %u: %s: %s\n", strict ? "error" : "warning",
            static_cast<unsigned>(id), failure.path.c_str(),
            mix::DescribeSoundFailure(failure).c_str());
    };
    // Relative sound names are resolved against the input's folder, so the
    // document path must name one even for a bare file name.
    std::error_code error;
    const std::string documentPath = std::filesystem::absolute(input, error).string();
    const bool ok = MixProject(*project, documentPath, ui, ui, ui, options);
    for (const std::string& notice : ui.notices()) {
        if (!ok)
            std::fprintf(stderr, "%s\n", notice.c_str());
        else if (!quiet)
            std::printf("%s\n", notice.c_str());
    }
    return ok ? kExitOk : kExitFailure;
}

} // namespace vellisto::cli
