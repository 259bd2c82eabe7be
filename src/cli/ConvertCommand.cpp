// SPDX-License-Identifier: MIT
// vellisto-cli convert INPUT -o OUT.spj [IMPORT OPTIONS]: reads the input (a
// project file, or a score imported with the given choice) and writes it as a
// project file of the current layout (which upgrades older project files).

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/Input.h"
#include "model/ProjectFile.h"
#include "model/TextTable.h"

#include <string>

namespace vellisto::cli {

int RunConvert(CommandArgs args)
{
    const auto parsed = ParseOneInput(kConvertCommand, args);
    if (!parsed)
        return kExitUsage;
    const auto output = parsed->value(kOutputOption);
    if (!output || output->empty())
        return UsageError(kConvertCommand, "-o needs a file name");

    const std::string outPath(*output);
    if (ReplacesAnInput(
            outPath, { parsed->positional[0], parsed->value(kSoundListOption).value_or("") }))
        return UsageError(kConvertCommand, "the output would replace an input");
    if (!CheckOutputPath(outPath))
        return kExitFailure;
    const auto [project, exitCode] = OpenCommandInput(kConvertCommand, *parsed);
    if (!project)
        return exitCode;
    // As the save command does: stored name fields carry nothing after the text.
    ClearNameTails(*project);
    switch (WriteProjectFile(*project, outPath)) {
    case ProjectWriteResult::kOk:
        return kExitOk;
    case ProjectWriteResult::kCannotCreate:
        return Failure(Text(TextId::kFailedSaving), outPath + ": cannot create the file");
    case ProjectWriteResult::kWriteError:
        break;
    }
    return Failure(Text(TextId::kUnknownError), outPath + ": writing the file failed");
}

} // namespace vellisto::cli
