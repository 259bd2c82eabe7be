// SPDX-License-Identifier: MIT
#pragma once

// The commands of vellisto-cli. Each takes the arguments after its name and
// returns the exit status: 0 success, 1 failure, 2 usage error. Their names,
// operands and options are in CommandTable.h.

#include "cli/CommandTable.h"

namespace vellisto::cli {

int RunInfo(CommandArgs args); // InfoCommand.cpp
int RunConvert(CommandArgs args); // ConvertCommand.cpp
int RunResample(CommandArgs args); // ResampleCommand.cpp
int RunBaseFreq(CommandArgs args); // BaseFreqCommand.cpp
int RunMix(CommandArgs args); // MixCommand.cpp

} // namespace vellisto::cli
