// SPDX-License-Identifier: MIT
// vellisto-cli: the command-line front end. Parses arguments, calls the core
// and turns its results into exit codes: 0 success, 1 failure, 2 usage error.

#include "audio/SincTables.h"
#include "cli/Args.h"
#include "cli/CommandTable.h"
#include "cli/HelpText.h"
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

int PrintText(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
    return CheckedExit("", kExitOk);
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.empty()) {
        PrintDiagnostic("vellisto-cli: no command given (usage: " + ProgramUsageLine()
            + "; 'vellisto-cli --help' explains them)");
        return kExitUsage;
    }
    if (args[0] == kHelpOption || args[0] == kHelpShortOption)
        return PrintText(ProgramHelp());
    if (args[0] == kVersionOption || args[0] == kVersionShortOption)
        return PrintText(VersionText());
    const CommandInfo* command = FindCommand(args[0]);
    if (command == nullptr) {
        PrintDiagnostic("vellisto-cli: unknown command '" + std::string(args[0])
            + "' (usage: " + ProgramUsageLine() + ")");
        return kExitUsage;
    }
    const CommandArgs commandArgs = CommandArgs(args).subspan(1);
    if (WantsHelp(*command, commandArgs))
        return PrintText(CommandHelp(*command));

    // The shared lookup tables are built once, before a command runs.
    vellisto::audio::BuildSincTables();
    vellisto::import::BuildImportTables();
    // A reader that goes away, or a file past the size limit, is a write
    // error to report (and a temporary file to remove), not a signal to die of.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    return CheckedExit(command->name, command->run(commandArgs));
}
