// SPDX-License-Identifier: MIT
#include "cli/Input.h"

#include "document/InputOpener.h"
#include "model/TextTable.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <string>
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

    DocumentFileKind KindOf(const std::string& path) { return FileKindOf(path); }

    bool PathProblem(const std::string& path, const char* problem)
    {
        PrintDiagnostic("vellisto-cli: " + path + ": " + problem);
        return false;
    }

    // The project read, or null after printing the system's message and the reader's reason.
    std::unique_ptr<Project> Opened(OpenedInput input, const std::string& path)
    {
        if (!input.project)
            Failure(Text(input.message), input.reason.empty() ? "" : path + ": " + input.reason);
        return std::move(input.project);
    }

    // The lists of another project come without the questions: a different
    // output format is a warning, and the frame counts are rescaled to the input's rate.
    std::unique_ptr<Project> ReadListSource(const Project& project, const std::string& path)
    {
        if (!CheckInputPath(path, false))
            return nullptr;
        auto source = Opened(OpenListSource(path), path);
        if (!source)
            return nullptr;
        const OutputFormat& from = source->settings.outputFormat;
        const OutputFormat& to = project.settings.outputFormat;
        const auto describe = [](const OutputFormat& f) {
            return std::to_string(f.samplesPerSecond) + " Hz, " + std::to_string(f.bitsPerSample)
                + " bits, " + std::to_string(f.channels) + " channels";
        };
        if (!SameFormatKey(from, to))
            PrintDiagnostic("vellisto-cli: warning: " + path + ": its output format ("
                + describe(from) + ") differs from the input's (" + describe(to)
                + "); frame counts are rescaled");
        return source;
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

bool ReplacesAnInput(const std::string& output, std::initializer_list<std::string_view> inputs)
{
    std::error_code error;
    return std::any_of(inputs.begin(), inputs.end(), [&](std::string_view input) {
        return !input.empty() && std::filesystem::equivalent(output, input, error) && !error;
    });
}

std::optional<InputOptions> ReadInputOptions(
    const ParsedArgs& parsed, const std::string& path, std::string& error)
{
    InputOptions options;
    const bool choiceGiven = parsed.has(kCompatOption) || parsed.has(kRateOption)
        || parsed.has(kChannelsOption) || parsed.has(kBmsRulesOption) || parsed.has(kSeedOption);
    if (choiceGiven && KindOf(path) == DocumentFileKind::kProject) {
        error = "--compat, --rate, --channels, --bms-rules and --seed apply to .mid, .bms and "
                ".bme inputs only";
        return std::nullopt;
    }
    if (const auto rules = parsed.value(kBmsRulesOption)) {
        if (*rules == "standard") {
            options.import.bms.rules = import::BmsRules::kStandard;
        } else if (*rules != "design") {
            error = "--bms-rules must be design or standard";
            return std::nullopt;
        }
    }
    if (const auto text = parsed.value(kSeedOption)) {
        std::uint64_t seed = 0;
        const char* end = text->data() + text->size();
        const auto [ptr, ec] = std::from_chars(text->data(), end, seed);
        if (text->empty() || ec != std::errc {} || ptr != end) {
            error = "--seed must be a whole number from 0 to 18446744073709551615";
            return std::nullopt;
        }
        options.import.bms.seed = seed;
    }
    if (const auto name = parsed.value(kCompatOption)) {
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
    if (const auto kit = parsed.value(kSoundListOption)) {
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
    OpenedInput opened = OpenInputFile(path, options.choice, options.import);
    for (const std::string& warning : opened.warnings)
        PrintDiagnostic("vellisto-cli: warning: " + path + ": " + warning);
    if (opened.unlistedWarnings != 0)
        PrintDiagnostic("vellisto-cli: warning: " + path + ": and "
            + std::to_string(opened.unlistedWarnings) + " more");
    auto project = Opened(std::move(opened), path);
    if (project && !options.soundList.empty()) {
        // "Import Sound List" without its questions.
        const auto kit = ReadListSource(*project, options.soundList);
        if (!kit)
            return nullptr;
        vellisto::ApplySoundList(*project, *kit);
    }
    return project;
}

bool ApplyTrackList(Project& project, const std::string& path)
{
    const auto source = ReadListSource(project, path);
    if (!source)
        return false;
    if (!vellisto::ApplyTrackList(project, *source)) {
        Failure(Text(TextId::kOutOfMemory));
        return false;
    }
    return true;
}

CommandInput OpenCommandInput(const CommandInfo& command, const ParsedArgs& parsed)
{
    return OpenCommandInput(command, parsed, std::string(parsed.positional.at(0)));
}

CommandInput OpenCommandInput(
    const CommandInfo& command, const ParsedArgs& parsed, const std::string& input)
{
    std::string error;
    const auto options = ReadInputOptions(parsed, input, error);
    if (!options)
        return { nullptr, UsageError(command, error) };
    auto project = OpenInput(input, *options);
    const int exitCode = project ? kExitOk : kExitFailure;
    return { std::move(project), exitCode };
}

} // namespace vellisto::cli
