// SPDX-License-Identifier: MIT
#pragma once

// Argument handling shared by the commands: options with and without values
// as a command's table lists them, positional arguments, --help, and the
// lines printed on standard error.

#include "cli/CommandTable.h"

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

struct ParsedArgs {
    std::vector<std::string_view> positional;
    std::map<std::string_view, std::vector<std::string_view>> options; // flags have no values

    bool has(std::string_view name) const { return options.count(name) != 0; }
    // The option's first value ("" for a flag); nullopt when it was not given.
    std::optional<std::string_view> value(std::string_view name) const;
    // All of its values (empty when it was not given).
    std::span<const std::string_view> values(std::string_view name) const;
};

// Splits args by the options. "--" ends the options; a lone "-" is
// positional. An option takes as many of the following arguments as its
// value placeholder has words, whatever they look like. Unknown or repeated
// options and missing values are errors (the message is set and nullopt
// returned).
std::optional<ParsedArgs> ParseArgs(std::span<const std::string_view> args,
    std::span<const OptionInfo> options, std::string& error);

// The common form of a command: its options, its required options and
// exactly one operand (at least one when the command takes several). Prints a usage error and
// returns nullopt otherwise (the command then exits with kExitUsage).
std::optional<ParsedArgs> ParseOneInput(
    const CommandInfo& command, std::span<const std::string_view> args);

// Whether the arguments ask for the command's help: -h or --help where an
// option may stand (not as another option's value, not after "--").
bool WantsHelp(const CommandInfo& command, std::span<const std::string_view> args);

// Every error is one line on standard error.

// Prints "vellisto-cli COMMAND: MESSAGE (usage: USAGE)" with the command's
// one-line usage; returns the usage exit status.
int UsageError(const CommandInfo& command, std::string_view message);

// Prints the system's message followed, when given, by the detail;
// returns the failure exit status.
int Failure(std::string_view message, std::string_view detail = {});

// Prints one line (without its newline) on standard error, whole even when
// other threads print at the same time. While a DiagnosticLog lives on the
// calling thread, the line is kept in it as well, so that a report for
// scripts can repeat what went wrong; each thread has its own logs.
void PrintDiagnostic(std::string_view line);

class DiagnosticLog {
public:
    DiagnosticLog();
    ~DiagnosticLog();
    DiagnosticLog(const DiagnosticLog&) = delete;
    DiagnosticLog& operator=(const DiagnosticLog&) = delete;

    const std::vector<std::string>& lines() const { return m_lines; }

private:
    friend void PrintDiagnostic(std::string_view line);
    std::vector<std::string> m_lines;
    DiagnosticLog* m_previous;
};

} // namespace vellisto::cli
