// SPDX-License-Identifier: MIT
#include "cli/Input.h"

#include "import/BmsImport.h"
#include "import/MidiImport.h"
#include "model/Document.h"
#include "model/ProjectFile.h"
#include "model/ProjectImport.h"
#include "model/TextTable.h"
#include "platform/ReadError.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

namespace vellisto::cli {

namespace {

    // The compatibility entries by their option names, in the dialog's order.
    constexpr std::array<std::pair<std::string_view, Compatibility>, 6> kCompatibilityNames { {
        { "normal", Compatibility::kNormal },
        { "drum", Compatibility::kDrum },
        { "auto", Compatibility::kAuto },
        { "auto-track", Compatibility::kAutoTrack },
        { "v1.3", Compatibility::kVer13 },
        { "v1.2", Compatibility::kVer12 },
    } };

    DocumentFileKind KindOf(const std::string& path)
    {
        return FileKindOf(platform::Utf8ToUtf16(path));
    }

    bool PathProblem(const std::string& path, const char* problem)
    {
        std::fprintf(stderr, "vellisto-cli: %s: %s\n", path.c_str(), problem);
        return false;
    }

    std::unique_ptr<Project> NewProject()
    {
        auto project = CreateProject();
        if (!project)
            Failure(Text(TextId::kOutOfMemory));
        return project;
    }

    std::unique_ptr<Project> ReadProjectInput(const std::string& path)
    {
        auto project = NewProject();
        if (!project)
            return nullptr;
        platform::ReadError error;
        if (!ReadProjectFile(path, *project, &error)) {
            Failure(Text(TextId::kFailedLoadingProject),
                path + ": " + platform::DescribeReadError(error));
            return nullptr;
        }
        return project;
    }

    // The "Compatibility and Format" choice, then the score's importer.
    std::unique_ptr<Project> ImportScoreInput(
        const std::string& path, DocumentFileKind kind, const CompatibilityChoice& choice)
    {
        auto project = NewProject();
        if (!project)
            return nullptr;
        ApplyCompatibilityChoice(*project, choice);
        if (kind == DocumentFileKind::kMidi) {
            platform::ReadError reason;
            if (!import::ImportMidiFile(*project, path, &reason)) {
                Failure(Text(TextId::kFailedLoadingMidi),
                    path + ": " + platform::DescribeReadError(reason));
                return nullptr;
            }
        } else {
            platform::ReadError reason;
            if (!import::ImportBmsFile(*project, path, &reason)) {
                Failure(Text(TextId::kFailedLoadingBms),
                    path + ": " + platform::DescribeReadError(reason));
                return nullptr;
            }
        }
        return project;
    }

    // The lists of another project come without the questions: a different
    // output format is a warning, and the frame counts are rescaled to the input's rate.
    std::unique_ptr<Project> ReadListSource(const Project& project, const std::string& path)
    {
        if (!CheckInputPath(path, false))
            return nullptr;
        auto source = ReadProjectInput(path);
        if (!source)
            return nullptr;
        const OutputFormat& from = source->settings.outputFormat;
        const OutputFormat& to = project.settings.outputFormat;
        if (!SameFormatKey(from, to))
            std::fprintf(stderr,
                "vellisto-cli: warning: %s: its output format (%u Hz, %u bits, %u channels) "
                "differs "
                "from the input's (%u Hz, %u bits, %u channels); frame counts are rescaled\n",
                path.c_str(), from.samplesPerSecond, unsigned { from.bitsPerSample },
                unsigned { from.channels }, to.samplesPerSecond, unsigned { to.bitsPerSample },
                unsigned { to.channels });
        return source;
    }

    // "Import Sound List" without its questions.
    bool ApplySoundList(Project& project, const std::string& kitPath)
    {
        const auto kit = ReadListSource(project, kitPath);
        if (!kit)
            return false;
        CopySoundList(project, *kit);
        return true;
    }

} // namespace

bool CheckInputPath(const std::string& path, bool allowEmpty)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (!fs::exists(status))
        return PathProblem(path, "no such file");
    if (fs::is_directory(status))
        return PathProblem(path, "is a directory");
    if (!fs::is_regular_file(status))
        return PathProblem(path, "is not a regular file");
    if (!allowEmpty && fs::file_size(path, error) == 0 && !error)
        return PathProblem(path, "is an empty file");
    return true;
}

bool CheckOutputPath(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (!fs::exists(status))
        return true; // created by the write
    if (fs::is_directory(status))
        return PathProblem(path, "is a directory");
    if (!fs::is_regular_file(status))
        return PathProblem(path, "is not a regular file");
    return true;
}

std::optional<InputOptions> ReadInputOptions(
    const ParsedArgs& parsed, const std::string& path, std::string& error)
{
    InputOptions options;
    const bool choiceGiven = parsed.has(kCompatOption.name) || parsed.has(kRateOption.name)
        || parsed.has(kChannelsOption.name);
    if (choiceGiven && KindOf(path) == DocumentFileKind::kProject) {
        error = "--compat, --rate and --channels apply to .mid, .bms and .bme inputs only";
        return std::nullopt;
    }
    if (const auto name = parsed.value(kCompatOption.name)) {
        const auto entry = std::find_if(kCompatibilityNames.begin(), kCompatibilityNames.end(),
            [&](const auto& e) { return e.first == *name; });
        if (entry == kCompatibilityNames.end()) {
            error = "--compat must be normal, drum, auto, auto-track, v1.3 or v1.2";
            return std::nullopt;
        }
        options.choice.compatibility = entry->second;
    }
    // Rate and channels are checked as for the sound commands.
    const auto format = ReadSoundOptions(parsed, error);
    if (!format)
        return std::nullopt;
    options.choice.rateText = std::to_string(format->format.samplesPerSecond);
    options.choice.channelsText = std::to_string(format->format.channels);
    if (const auto kit = parsed.value(kSoundListOption.name)) {
        if (kit->empty()) {
            error = "--sound-list needs a project file";
            return std::nullopt;
        }
        options.soundList = std::string(*kit);
    }
    return options;
}

std::unique_ptr<Project> OpenInput(const std::string& path, const InputOptions& options)
{
    const DocumentFileKind kind = KindOf(path);
    if (!CheckInputPath(path, kind != DocumentFileKind::kProject))
        return nullptr;
    auto project = kind == DocumentFileKind::kProject
        ? ReadProjectInput(path)
        : ImportScoreInput(path, kind, options.choice);
    if (project && !options.soundList.empty() && !ApplySoundList(*project, options.soundList))
        return nullptr;
    return project;
}

bool ApplyTrackList(Project& project, const std::string& path)
{
    const auto source = ReadListSource(project, path);
    if (!source)
        return false;
    if (!CopyTrackList(project, *source)) {
        Failure(Text(TextId::kOutOfMemory));
        return false;
    }
    return true;
}

CommandInput OpenCommandInput(
    std::string_view command, std::string_view usage, const ParsedArgs& parsed)
{
    const std::string input(parsed.positional.at(0));
    std::string error;
    const auto options = ReadInputOptions(parsed, input, error);
    if (!options)
        return { nullptr, UsageError(command, usage, error) };
    auto project = OpenInput(input, *options);
    const int exitCode = project ? kExitOk : kExitFailure;
    return { std::move(project), exitCode };
}

} // namespace vellisto::cli
