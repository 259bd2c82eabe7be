// SPDX-License-Identifier: MIT
#pragma once

// The options that choose how a command computes, never what it computes:
// --threads N (threads for mixing and for converting long sounds; all of the
// processor's by default) and --reference (the plain reference loops instead
// of the fast ones, to check that both give the same bytes).

#include "cli/Args.h"

#include <string>

namespace vellisto::cli {

// Sets the process-wide choices from the options given; false with `error`
// set for a thread count that is not a whole number from 1 to 256.
bool ApplyComputeOptions(const ParsedArgs& parsed, std::string& error);

} // namespace vellisto::cli
