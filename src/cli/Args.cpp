// SPDX-License-Identifier: MIT
#include "cli/Args.h"

#include "cli/HelpText.h"

#include <algorithm>
#include <cstdio>

namespace vellisto::cli {

namespace {

    // The innermost live log of this thread: mixes that run side by side
    // each keep their own lines.
    thread_local DiagnosticLog* g_log = nullptr;

    const OptionInfo* FindOption(std::span<const OptionInfo> options, std::string_view name)
    {
        const auto it = std::find_if(
            options.begin(), options.end(), [&](const OptionInfo& o) { return o.name == name; });
        return it == options.end() ? nullptr : &*it;
    }

    bool IsOptionLike(std::string_view arg) { return arg.size() >= 2 && arg[0] == '-'; }

} // namespace

std::optional<std::string_view> ParsedArgs::value(std::string_view name) const
{
    const auto it = options.find(name);
    if (it == options.end())
        return std::nullopt;
    return it->second.empty() ? std::string_view {} : it->second.front();
}

std::span<const std::string_view> ParsedArgs::values(std::string_view name) const
{
    const auto it = options.find(name);
    if (it == options.end())
        return {};
    return it->second;
}

std::optional<ParsedArgs> ParseArgs(
    std::span<const std::string_view> args, std::span<const OptionInfo> options, std::string& error)
{
    ParsedArgs parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (optionsEnded || !IsOptionLike(arg)) {
            parsed.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const OptionInfo* option = FindOption(options, arg);
        if (option == nullptr) {
            error = "unknown option '" + std::string(arg) + "'";
            return std::nullopt;
        }
        if (parsed.has(arg)) {
            error = "option '" + std::string(arg) + "' given twice";
            return std::nullopt;
        }
        const std::size_t count = ValueCount(*option);
        if (args.size() - i - 1 < count) {
            error = "option '" + std::string(arg) + "' needs "
                + (count == 1 ? std::string("a value") : std::to_string(count) + " values") + " ("
                + std::string(arg) + " " + std::string(option->value) + ")";
            return std::nullopt;
        }
        std::vector<std::string_view>& values = parsed.options[option->name];
        values.assign(args.begin() + static_cast<std::ptrdiff_t>(i + 1),
            args.begin() + static_cast<std::ptrdiff_t>(i + 1 + count));
        i += count;
    }
    return parsed;
}

std::optional<ParsedArgs> ParseOneInput(
    const CommandInfo& command, std::span<const std::string_view> args)
{
    std::string error;
    auto parsed = ParseArgs(args, command.options, error);
    if (parsed
        && (parsed->positional.empty() || (parsed->positional.size() > 1 && !command.manyOperands)))
        error = (parsed->positional.empty() ? "no " : "more than one ")
            + std::string(command.operand) + " given";
    for (const OptionInfo& option : command.options) {
        if (parsed && error.empty() && option.required && !parsed->has(option.name))
            error = "no " + std::string(option.name) + " " + std::string(option.value) + " given";
    }
    if (!error.empty()) {
        UsageError(command, error);
        return std::nullopt;
    }
    return parsed;
}

bool WantsHelp(const CommandInfo& command, std::span<const std::string_view> args)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--")
            return false;
        if (arg == kHelpOption || arg == kHelpShortOption)
            return true;
        if (const OptionInfo* option = FindOption(command.options, arg))
            i += ValueCount(*option); // its values are never options
    }
    return false;
}

int UsageError(const CommandInfo& command, std::string_view message)
{
    PrintDiagnostic(std::string(kProgramName) + " " + std::string(command.name) + ": "
        + std::string(message) + " (usage: " + UsageLine(command) + ")");
    return kExitUsage;
}

int Failure(std::string_view message, std::string_view detail)
{
    std::string line(message);
    if (!detail.empty())
        line.append(" ").append(detail);
    PrintDiagnostic(line);
    return kExitFailure;
}

void PrintDiagnostic(std::string_view line)
{
    // One write of the whole line, newline included: the stream's lock keeps
    // lines from threads that print at once whole.
    std::string text(line);
    text.push_back('\n');
    std::fwrite(text.data(), 1, text.size(), stderr);
    if (g_log != nullptr)
        g_log->m_lines.emplace_back(line);
}

DiagnosticLog::DiagnosticLog()
    : m_previous(g_log)
{
    g_log = this;
}

DiagnosticLog::~DiagnosticLog() { g_log = m_previous; }

} // namespace vellisto::cli
