// SPDX-License-Identifier: MIT
#include "cli/Args.h"

#include <algorithm>
#include <cstdio>

namespace vellisto::cli {

std::optional<std::string_view> ParsedArgs::value(std::string_view name) const
{
    const auto it = options.find(name);
    if (it == options.end())
        return std::nullopt;
    return it->second;
}

std::optional<ParsedArgs> ParseArgs(
    std::span<const std::string_view> args, std::span<const OptionSpec> specs, std::string& error)
{
    ParsedArgs parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            parsed.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const auto spec = std::find_if(
            specs.begin(), specs.end(), [&](const OptionSpec& s) { return s.name == arg; });
        if (spec == specs.end()) {
            error = "unknown option '" + std::string(arg) + "'";
            return std::nullopt;
        }
        if (parsed.has(arg)) {
            error = "option '" + std::string(arg) + "' given twice";
            return std::nullopt;
        }
        std::string_view value;
        if (spec->takesValue) {
            if (i + 1 >= args.size()) {
                error = "option '" + std::string(arg) + "' needs a value";
                return std::nullopt;
            }
            value = args[++i];
        }
        parsed.options.emplace(spec->name, value);
    }
    return parsed;
}

std::optional<ParsedArgs> ParseOneInput(std::string_view command, std::string_view usage,
    std::span<const std::string_view> args, std::span<const OptionSpec> specs)
{
    std::string error;
    auto parsed = ParseArgs(args, specs, error);
    if (parsed && parsed->positional.size() != 1)
        error
            = parsed->positional.empty() ? "no input file given" : "more than one input file given";
    if (!error.empty()) {
        UsageError(command, usage, error);
        return std::nullopt;
    }
    return parsed;
}

int UsageError(std::string_view command, std::string_view usage, std::string_view message)
{
    std::fprintf(stderr, "vellisto-cli %.*s: %.*s (usage: %.*s)\n",
        static_cast<int>(command.size()), command.data(), static_cast<int>(message.size()),
        message.data(), static_cast<int>(usage.size()), usage.data());
    return kExitUsage;
}

int Failure(std::string_view message, std::string_view detail)
{
    std::fprintf(stderr, "%.*s%s%.*s\n", static_cast<int>(message.size()), message.data(),
        detail.empty() ? "" : " ", static_cast<int>(detail.size()), detail.data());
    return kExitFailure;
}

} // namespace vellisto::cli
