// SPDX-License-Identifier: MIT
#pragma once

// Opening the input of a command into a project, and the checks that every
// command makes on the paths it reads and writes. Every reader of the program
// is reached from here, so each command accepts the same inputs: the reader is
// chosen by the name's extension exactly as the document's open chooses it
// (".mid", ".bms" or ".bme", anything else a project file). Scores are
// imported after the "Compatibility and Format" choice given by the import
// options. On failure the reason has been printed on standard error.

#include "cli/Args.h"
#include "cli/SoundOptions.h"
#include "document/InputOpener.h"
#include "model/Compatibility.h"
#include "model/Project.h"

#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vellisto::cli {

// False after printing one line naming the problem when path is missing, a
// folder, not a regular file or (unless allowEmpty) empty: no reader can use it.
bool CheckInputPath(const std::string& path, bool allowEmpty = false);

// False after printing one line naming the problem when path names something
// other than a regular file: writing replaces the file at path, and a folder,
// a device or a pipe must never be replaced.
bool CheckOutputPath(const std::string& path);

// True when output names an existing file that is also one of the inputs
// (the same device and inode, through links too): writing it would replace
// what the command reads.
bool ReplacesAnInput(const std::string& output, std::initializer_list<std::string_view> inputs);

// The IMPORT OPTIONS: --compat normal|drum|auto|auto-track|v1.3|v1.2, --rate N
// and --channels 1|2 make the choice for a score; --sound-list KIT.spj then
// replaces every sound's name and settings with those of a project file, as
// "Import Sound List" does. --bms-rules design|standard and --seed N choose
// how a chart is read.
struct InputOptions {
    CompatibilityChoice choice = DefaultCompatibilityChoice();
    ImportOptions import;
    std::string soundList; // empty: keep the input's sounds
};

// The import options as given for the input at path; nullopt with error set
// for a bad value, or for a choice given with an input that is not a score.
std::optional<InputOptions> ReadInputOptions(
    const ParsedArgs& parsed, const std::string& path, std::string& error);

// The project read from the file at path, or null after printing why not:
// the problem with the path, or the system's message with the reader's
// reason. An empty score is a score without notes; an empty project file is
// refused. What the import skipped is printed as warnings.
std::unique_ptr<Project> OpenInput(const std::string& path, const InputOptions& options = {});

// "Import Track List" without its questions: every track's events from the
// project file at path, times rescaled to the project's rate (a different
// output format is a warning). False after a message.
bool ApplyTrackList(Project& project, const std::string& path);

// A command's one input, opened with the import options it was given. When
// project is null, exitCode says why: a usage error has been printed for a
// bad option, or the reader's failure.
struct CommandInput {
    std::unique_ptr<Project> project;
    int exitCode = kExitOk;
};
CommandInput OpenCommandInput(const CommandInfo& command, const ParsedArgs& parsed);
// The same for one of several inputs.
CommandInput OpenCommandInput(
    const CommandInfo& command, const ParsedArgs& parsed, const std::string& input);

} // namespace vellisto::cli
