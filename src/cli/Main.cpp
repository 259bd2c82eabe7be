// SPDX-License-Identifier: MIT
// vellisto-cli: the command-line front end. Parses arguments, calls the core
// and turns its results into exit codes: 0 success, 1 failure, 2 usage error.

#include "audio/SincTables.h"
#include "cli/Args.h"
#include "cli/Commands.h"
#include "import/ImportTables.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace vellisto::cli;

struct Command {
    std::string_view name;
    int (*run)(CommandArgs args);
    std::string_view usage; // the whole usage line
};

constexpr Command kCommands[] = {
    { "info", RunInfo, kInfoUsage },
    { "convert", RunConvert, kConvertUsage },
    { "mix", RunMix, kMixUsage },
    { "resample", RunResample, kResampleUsage },
    { "basefreq", RunBaseFreq, kBaseFreqUsage },
};

void PrintUsage(std::FILE* to)
{
    std::fputs("usage: vellisto-cli COMMAND [ARGS]\n\ncommands:\n", to);
    for (const Command& command : kCommands)
        std::fprintf(to, "  %.*s\n", static_cast<int>(command.usage.size()), command.usage.data());
}

// What a command printed must have reached its reader: a full disk or a
// closed pipe behind standard output is a failure, except after a mix, whose
// result is the file it wrote, not what it printed.
int CheckedExit(std::string_view command, int exitCode)
{
    const bool flushed = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
    if (flushed || command == "mix" || exitCode == kExitUsage)
        return exitCode;
    std::fprintf(
        stderr, "vellisto-cli: cannot write to standard output: %s\n", std::strerror(errno));
    return kExitFailure;
}

} // namespace

int main(int argc, char** argv)
{
    // The shared lookup tables are built once, before anything else runs.
    vellisto::audio::BuildSincTables();
    vellisto::import::BuildImportTables();
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        PrintUsage(args.empty() ? stderr : stdout);
        return args.empty() ? kExitUsage : CheckedExit("--help", kExitOk);
    }
    // A reader that goes away, or a file past the size limit, is a write
    // error to report (and a temporary file to remove), not a signal to die of.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    for (const Command& command : kCommands) {
        if (command.name == args[0])
            return CheckedExit(command.name, command.run(CommandArgs(args).subspan(1)));
    }
    std::string names;
    for (const Command& command : kCommands)
        names.append(names.empty() ? "" : ", ").append(command.name);
    std::fprintf(stderr,
        "vellisto-cli: unknown command '%.*s' (usage: vellisto-cli COMMAND [ARGS], commands: "
        "%s)\n",
        static_cast<int>(args[0].size()), args[0].data(), names.c_str());
    return kExitUsage;
}
