// SPDX-License-Identifier: MIT
#pragma once

// The one description of vellisto-cli's commands and options. Everything that
// names an option is made from it, so none of them can drift from the
// others: the parsing of each command's arguments, the one-line usage shown
// with usage errors, the --help texts, the manual page and the bash
// completion script (see HelpText.h).

#include <cstddef>
#include <span>
#include <string_view>

namespace vellisto::cli {

using CommandArgs = std::span<const std::string_view>;

// What a shell may offer for an option's value or a command's operand.
enum class Completion {
    kNothing, // a number or free text
    kChoices, // one of the words of the value placeholder, split at '|'
    kInputFile, // a project file or a score: .spj, .mid, .bms, .bme
    kProjectFile, // .spj
    kWaveFile, // .wav
};

struct OptionInfo {
    std::string_view name; // "--rate"
    // The placeholders of its values, one word per value ("N", "BEGIN END",
    // "normal|drum"); empty for a flag.
    std::string_view value;
    std::string_view description; // a phrase, without a final full stop
    // The value used when the option is not given, exactly as it would be
    // typed; empty when there is none (or when it is no single value, which
    // the description then explains).
    std::string_view defaultValue;
    Completion completion = Completion::kNothing;
    bool required = false; // shown without brackets in the usage line
    std::string_view alias = {}; // a short form ("-h")
};

struct ExampleInfo {
    std::string_view arguments; // after "vellisto-cli "
    std::string_view explanation; // a phrase
};

struct CommandInfo {
    std::string_view name; // "mix"
    std::string_view operand; // the one positional argument: "INPUT"
    std::string_view operandDescription;
    Completion operandCompletion;
    std::string_view summary; // one sentence: what the command does
    std::string_view details; // more sentences for the help and the manual page; may be empty
    std::span<const OptionInfo> options; // in the order the usage line shows them
    std::span<const ExampleInfo> examples;
    int (*run)(CommandArgs args); // returns the exit status
    bool manyOperands = false; // the operand may be given more than once
};

// The names of the options, as the commands look them up once parsed.
inline constexpr std::string_view kOutputOption = "-o";
inline constexpr std::string_view kJsonOption = "--json";
inline constexpr std::string_view kCompatOption = "--compat";
inline constexpr std::string_view kRateOption = "--rate";
inline constexpr std::string_view kChannelsOption = "--channels";
inline constexpr std::string_view kInterpOption = "--interp";
inline constexpr std::string_view kSoundListOption = "--sound-list";
inline constexpr std::string_view kTrackListOption = "--track-list";
inline constexpr std::string_view kStrictOption = "--strict";
inline constexpr std::string_view kQuietOption = "--quiet";
inline constexpr std::string_view kThreadsOption = "--threads";
inline constexpr std::string_view kReferenceOption = "--reference";
inline constexpr std::string_view kLoopOption = "--loop";
inline constexpr std::string_view kBmsRulesOption = "--bms-rules";
inline constexpr std::string_view kSeedOption = "--seed";
inline constexpr std::string_view kOutDirOption = "--out-dir";
inline constexpr std::string_view kFormatOption = "-f";

inline constexpr std::string_view kProgramName = "vellisto-cli";
// The program's own version, set by the build.
std::string_view ProgramVersion();
// One sentence on what the program does.
extern const std::string_view kProgramSummary;
struct ExitStatusInfo {
    int code;
    std::string_view meaning; // a phrase
};
// The exit statuses shared by every command.
extern const std::span<const ExitStatusInfo> kExitStatuses;

// The options understood before a command, and by every command: --help and
// --version.
inline constexpr std::string_view kHelpOption = "--help";
inline constexpr std::string_view kHelpShortOption = "-h";
inline constexpr std::string_view kVersionOption = "--version";
inline constexpr std::string_view kVersionShortOption = "-V";
std::span<const OptionInfo> ProgramOptions();
// The --help entry as every command's help lists it.
const OptionInfo& CommandHelpOption();

// Every command, in the order the help lists them.
std::span<const CommandInfo* const> AllCommands();
// The command of that name, or null.
const CommandInfo* FindCommand(std::string_view name);

extern const CommandInfo kInfoCommand;
extern const CommandInfo kConvertCommand;
extern const CommandInfo kMixCommand;
extern const CommandInfo kResampleCommand;
extern const CommandInfo kBaseFreqCommand;

// How many values an option takes: the words of its value placeholder.
std::size_t ValueCount(const OptionInfo& option);

} // namespace vellisto::cli
