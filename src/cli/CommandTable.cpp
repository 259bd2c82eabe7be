// SPDX-License-Identifier: MIT
#include "cli/CommandTable.h"

#include "cli/Commands.h"

#include <algorithm>

#ifndef VEL_VERSION
#error "VEL_VERSION must be set by the build"
#endif

namespace vellisto::cli {

namespace {

    // The import options: the "Compatibility and Format" choice of a score,
    // then a kit of sounds from another project.
    constexpr OptionInfo kCompat { kCompatOption, "normal|drum|auto|auto-track|v1.3|v1.2",
        "how a score's notes become events, as the import's Compatibility choice; for .mid, "
        ".bms and .bme inputs only",
        "normal", Completion::kChoices };
    constexpr OptionInfo kImportRate { kRateOption, "N",
        "the output sample rate of an imported score, in Hz, from 1 to 16777215; for .mid, "
        ".bms and .bme inputs only",
        "44100" };
    constexpr OptionInfo kImportChannels { kChannelsOption, "1|2",
        "the output channels of an imported score; for .mid, .bms and .bme inputs only", "2",
        Completion::kChoices };
    constexpr OptionInfo kBmsRules { kBmsRulesOption, "design|standard",
        "how a .bms or .bme chart is read: the program's own rules, or the standard rules of "
        "today's charts (base-36 sound IDs, tempo changes, stops, long notes, #RANDOM blocks); "
        "for score inputs, without effect on .mid",
        "design", Completion::kChoices };
    constexpr OptionInfo kSeed { kSeedOption, "N",
        "the seed that picks the #RANDOM branches under the standard rules, from 0 to "
        "18446744073709551615: the same seed always picks the same branches",
        "0" };
    constexpr OptionInfo kSoundList { kSoundListOption, "KIT.spj",
        "then take every sound's file name and settings from another project file, as "
        "Import Sound List does",
        "", Completion::kProjectFile };

    // The options of the commands that load one sound for an output format.
    constexpr OptionInfo kSoundRate { kRateOption, "R",
        "the sample rate the sound is converted to, in Hz, from 1 to 16777215", "44100" };
    constexpr OptionInfo kSoundChannels { kChannelsOption, "1|2",
        "the channels the sound is converted to", "2", Completion::kChoices };
    constexpr OptionInfo kInterp { kInterpOption, "none|linear|sinc-low|sinc",
        "the loading interpolation: none, linear, sinc with the low-resolution table, or sinc",
        "sinc", Completion::kChoices };

    // How the work is computed, never what it computes.
    constexpr OptionInfo kThreads { kThreadsOption, "N",
        "the threads that render the tracks and convert sounds longer than about 1.5 s, "
        "from 1 to 256; by default all of the processor's hardware threads",
        "" };
    constexpr OptionInfo kReference { kReferenceOption, "",
        "compute with the plain reference loops instead of the fast ones; the output is the "
        "same byte for byte, only slower",
        "" };

    constexpr std::string_view kInputDescription
        = "a project file (.spj, any stored layout), a Standard MIDI file (.mid) or a BMS/BME "
          "chart (.bms, .bme), read as its extension says without regard to case";
    constexpr std::string_view kMixInputDescription
        = "one or more inputs, each a project file (.spj, any stored layout), a Standard MIDI "
          "file (.mid) or a BMS/BME chart (.bms, .bme), read as its extension says without "
          "regard to case";
    constexpr std::string_view kWaveDescription
        = "a PCM WAVE file of 8 or 16 bits, mono or stereo, at any rate";

    constexpr OptionInfo kInfoOptions[] = {
        { kJsonOption, "", "print the same as one JSON object", "" },
        kCompat,
        kImportRate,
        kImportChannels,
        kBmsRules,
        kSeed,
        kSoundList,
    };
    constexpr ExampleInfo kInfoExamples[] = {
        { "info song.spj", "shows the settings, the used sounds and the tracks of song.spj" },
        { "info tune.mid --compat drum --json",
            "shows tune.mid as it imports with drum compatibility, "
            "as JSON" },
    };

    constexpr OptionInfo kConvertOptions[] = {
        { kOutputOption, "OUT.spj",
            "the project file to write; an existing file is replaced only once the new one is "
            "complete",
            "", Completion::kProjectFile, true },
        kCompat,
        kImportRate,
        kImportChannels,
        kBmsRules,
        kSeed,
        kSoundList,
    };
    constexpr ExampleInfo kConvertExamples[] = {
        { "convert old.spj -o new.spj", "rewrites an older project file in the current layout" },
        { "convert chart.bms -o chart.spj --rate 48000",
            "imports a chart into a project whose output is 48000 Hz" },
    };

    constexpr OptionInfo kMixOptions[] = {
        { kOutputOption, "OUT.wav",
            "the file to write, by default INPUT with the extension .wav; a name ending in .flac, "
            ".ogg or .opus (without regard to case) is encoded as FLAC, Ogg Vorbis or Ogg Opus "
            "(48000, 24000, 16000, 12000 or 8000 Hz only) from the same mix, any other name is "
            "a 16-bit PCM WAVE file; an existing file is replaced only once the mix and its "
            "encoding are complete, so a failed or interrupted mix leaves it as it was",
            "", Completion::kWaveFile },
        { kOutDirOption, "DIR",
            "write each output into the folder DIR (which must exist) instead of beside its "
            "input, named as the input with the extension of -f",
            "", Completion::kNothing },
        { kFormatOption, "wav|flac|ogg|opus",
            "the encoding of the outputs named after their inputs (as -o chooses it by "
            "extension); without it they are WAVE files",
            "", Completion::kChoices },
        kCompat,
        kImportRate,
        kImportChannels,
        kBmsRules,
        kSeed,
        kSoundList,
        { kTrackListOption, "OTHER.spj",
            "then take every track's events from another project file, as Import Track List "
            "does",
            "", Completion::kProjectFile },
        { kStrictOption, "",
            "stop when a sound cannot be loaded; without it that is a warning and the sound "
            "stays silent",
            "" },
        { kQuietOption, "",
            "print only problems (and the report of --json): no mix length, progress bar or "
            "timing report",
            "" },
        { kJsonOption, "",
            "print the end report as one JSON object on standard output: result, output path, "
            "length, time taken, speed, peak level and clipped samples, the sounds that failed "
            "and the messages printed on standard error",
            "" },
        kThreads,
        kReference,
    };
    constexpr ExampleInfo kMixExamples[] = {
        { "mix song.spj", "mixes song.spj into song.wav beside it" },
        { "mix tune.mid --sound-list kit.spj -o tune.wav --strict",
            "plays the notes of tune.mid with the sounds of kit.spj, stopping at a sound that "
            "cannot be loaded" },
        { "mix a.bms b.bme c.mid --out-dir renders -f flac",
            "mixes three scores into renders/a.flac, renders/b.flac and renders/c.flac" },
    };

    constexpr OptionInfo kResampleOptions[] = {
        { kOutputOption, "OUT.wav",
            "the WAVE file to write; an existing file is replaced only once the new one is "
            "complete",
            "", Completion::kWaveFile, true },
        kSoundRate,
        kSoundChannels,
        kInterp,
        kThreads,
        kReference,
    };
    constexpr ExampleInfo kResampleExamples[] = {
        { "resample in.wav -o out.wav --rate 48000 --interp sinc",
            "converts in.wav to 48000 Hz stereo as a mix would load it" },
    };

    constexpr OptionInfo kBaseFreqOptions[] = {
        kSoundRate,
        kSoundChannels,
        kInterp,
        { kLoopOption, "BEGIN END",
            "measure only the frames from BEGIN up to END of the converted sound instead of the "
            "whole sound",
            "" },
    };
    constexpr ExampleInfo kBaseFreqExamples[] = {
        { "basefreq tone.wav", "prints the pitch word and base frequency of tone.wav" },
        { "basefreq tone.wav --loop 1000 5000", "measures the same on frames 1000 to 4999 only" },
    };

    constexpr ExitStatusInfo kExitStatusList[] = {
        { 0, "success" },
        { 1,
            "failure: the program's message on standard error, with the reason (such as the "
            "byte offset of damage) after it" },
        { 2, "usage error: what is wrong and the command's usage on standard error" },
    };

    constexpr OptionInfo kProgramOptionList[] = {
        { kHelpOption, "", "show the help (after a command: that command's help) and exit", "",
            Completion::kNothing, false, kHelpShortOption },
        { kVersionOption, "",
            "show the version, the vector instructions the fast loops use on this processor and "
            "the number of worker threads, and exit",
            "", Completion::kNothing, false, kVersionShortOption },
    };
    constexpr OptionInfo kCommandHelp { kHelpOption, "", "show this help and exit", "",
        Completion::kNothing, false, kHelpShortOption };

} // namespace

const CommandInfo kInfoCommand { "info", "INPUT", kInputDescription, Completion::kInputFile,
    "Prints the settings, every used sound with its twelve setting words, and each track's "
    "event count and length, of a project file or of a score as it imports.",
    "Under each sound is the file a mix reads it from, found as a mix finds it (when the named "
    "file does not exist, the same name with .ogg, .flac, .opus, .mp3 or .wav), and that file's "
    "format, or the one path tried when none is found. A track's length is the time of its last "
    "event, in frames and as minutes:seconds.",
    kInfoOptions, kInfoExamples, RunInfo };

const CommandInfo kConvertCommand { "convert", "INPUT", kInputDescription, Completion::kInputFile,
    "Reads a project file of any stored layout, or imports a score, and writes it as a project "
    "file of the current layout.",
    "", kConvertOptions, kConvertExamples, RunConvert };

const CommandInfo kMixCommand { "mix", "INPUT...", kMixInputDescription, Completion::kInputFile,
    "Mixes a project, or an imported score, into a 16-bit PCM WAVE file (or a FLAC, Ogg Vorbis "
    "or Ogg Opus file encoded from it) with the mix command of the desktop program.",
    "Sound files whose names begin with '\\' are looked up in the project's base path, else in "
    "the input's folder. A sound that cannot be loaded is a warning naming its ID and file, and "
    "stays silent. The mix length is printed before rendering starts, a progress bar with the "
    "remaining time shows on a terminal, and the time taken, the mixing speed, the peak level "
    "of the written samples in dBFS (to one decimal, relative to 32768) and the number of clipped "
    "samples (at -32768 or 32767) end the run. "
    "Ctrl+C, SIGTERM and SIGHUP abort the mix. A mix whose data would pass the 4 GiB limit of a "
    "WAVE file is refused before anything is written. With several inputs each is mixed into "
    "its own output (-o is then refused), up to one input per hardware thread at the same time, "
    "sharing the threads of --threads between them; one result line per input is printed on "
    "standard output in the order of the inputs (with --json, an array of the reports, each "
    "with the messages of its own mix), a failed input does not stop the others, an interrupt "
    "stops them all, and the exit status is 1 when any failed.",
    kMixOptions, kMixExamples, RunMix, true };

const CommandInfo kResampleCommand { "resample", "IN.wav", kWaveDescription, Completion::kWaveFile,
    "Loads a WAVE file exactly as a mix loads a sound, converting it to the given format, and "
    "writes the result as 16-bit PCM.",
    "", kResampleOptions, kResampleExamples, RunResample };

const CommandInfo kBaseFreqCommand { "basefreq", "IN.wav", kWaveDescription, Completion::kWaveFile,
    "Loads a WAVE file as a mix loads a sound and prints the pitch word and the base frequency "
    "measured in it.",
    "", kBaseFreqOptions, kBaseFreqExamples, RunBaseFreq };

const std::string_view kProgramSummary
    = "Mixes scores of timed sound events (projects, Standard MIDI files, BMS/BME charts) into "
      "PCM WAVE files, and converts, inspects and measures their parts.";

const std::span<const ExitStatusInfo> kExitStatuses { kExitStatusList };

std::string_view ProgramVersion() { return VEL_VERSION; }

std::span<const OptionInfo> ProgramOptions() { return kProgramOptionList; }

const OptionInfo& CommandHelpOption() { return kCommandHelp; }

std::span<const CommandInfo* const> AllCommands()
{
    static constexpr const CommandInfo* kAll[]
        = { &kInfoCommand, &kConvertCommand, &kMixCommand, &kResampleCommand, &kBaseFreqCommand };
    return kAll;
}

const CommandInfo* FindCommand(std::string_view name)
{
    const auto all = AllCommands();
    const auto it = std::find_if(
        all.begin(), all.end(), [&](const CommandInfo* c) { return c->name == name; });
    return it == all.end() ? nullptr : *it;
}

std::size_t ValueCount(const OptionInfo& option)
{
    if (option.value.empty())
        return 0;
    return static_cast<std::size_t>(std::count(option.value.begin(), option.value.end(), ' ')) + 1;
}

} // namespace vellisto::cli
