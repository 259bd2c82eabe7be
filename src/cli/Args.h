// SPDX-License-Identifier: MIT
#pragma once

// Argument handling shared by the commands: options with and without values,
// positional arguments, and the usage-error exit.

#include <cstddef>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vellisto::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct OptionSpec {
    std::string_view name; // "-o", "--json"
    bool takesValue;
};

struct ParsedArgs {
    std::vector<std::string_view> positional;
    std::map<std::string_view, std::string_view> options; // flags map to ""

    bool has(std::string_view name) const { return options.count(name) != 0; }
    std::optional<std::string_view> value(std::string_view name) const;
};

// Splits args by the specs. "--" ends the options; a lone "-" is positional.
// Unknown or repeated options and a missing value are errors (the message is
// set and nullopt returned).
std::optional<ParsedArgs> ParseArgs(
    std::span<const std::string_view> args, std::span<const OptionSpec> specs, std::string& error);

// The common form of a command: options and exactly one input file. Prints a
// usage error and returns nullopt otherwise (the command then exits with
// kExitUsage).
std::optional<ParsedArgs> ParseOneInput(std::string_view command, std::string_view usage,
    std::span<const std::string_view> args, std::span<const OptionSpec> specs);

// Every error is one line on standard error.

// Prints "vellisto-cli COMMAND: MESSAGE (usage: USAGE)"; returns the usage
// exit status.
int UsageError(std::string_view command, std::string_view usage, std::string_view message);

// Prints the system's message followed, when given, by the detail;
// returns the failure exit status.
int Failure(std::string_view message, std::string_view detail = {});

} // namespace vellisto::cli
