// SPDX-License-Identifier: MIT
#pragma once

// The texts the command line shows about itself, all made from the command
// table: the one-line usage of a command (shown with its usage errors), the
// help of the program and of each command, and the version.

#include "cli/CommandTable.h"

#include <string>
#include <string_view>
#include <vector>

namespace vellisto::cli {

// "vellisto-cli mix INPUT [-o OUT.wav] [--compat normal|drum|...] ..." on one
// line: the operand, then every option in table order, required ones without
// brackets.
std::string UsageLine(const CommandInfo& command);

// "vellisto-cli COMMAND [ARGS]" and the command names, for a missing or
// unknown command.
std::string ProgramUsageLine();

// The full help of a command: usage, what it does, its operand, every option
// with its values and default, the exit statuses and examples.
std::string CommandHelp(const CommandInfo& command);

// The help of the program: usage, every command with what it does, the
// program's options, the exit statuses and where to read more.
std::string ProgramHelp();

// "vellisto-cli 0.1.0" and a line with the vector instructions the fast
// loops use on this processor and the number of worker threads.
std::string VersionText();

// The option as the usage and help show it: "--loop BEGIN END", "-h, --help".
std::string OptionWithValue(const OptionInfo& option);

// Words of text joined into lines of at most width columns (a longer word
// stands alone), each after indent spaces.
std::vector<std::string> WrapText(std::string_view text, std::size_t indent, std::size_t width);

// The choices of a value placeholder "a|b|c", or none for one without '|'.
std::vector<std::string_view> ValueChoices(const OptionInfo& option);

} // namespace vellisto::cli
