// SPDX-License-Identifier: MIT
#pragma once

// The bash completion script of vellisto-cli, made from the command table at
// build time (tools/MakeCliDocs) and installed with the program. It offers
// the commands, each command's options, the choices of an option's value
// (--compat, --interp, --channels), and folders and the files whose
// extension fits the operand or the option (.spj, .mid, .bms, .bme inputs,
// .wav sounds), without regard to case. It needs nothing beyond bash itself.

#include <string>

namespace vellisto::cli {

// The name of the function the script registers with `complete -F`.
inline constexpr const char* kCompletionFunction = "_vellisto_cli";

std::string BashCompletionScript();

} // namespace vellisto::cli
