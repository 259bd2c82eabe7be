// SPDX-License-Identifier: MIT
#pragma once

// The manual page vellisto-cli(1), in roff with the man macros, made from the
// command table at build time (tools/MakeCliDocs) and installed with the
// program.

#include <string>
#include <string_view>

namespace vellisto::cli {

std::string ManualPage();

// Text for a roff line: backslashes kept, a leading '.' or '\'' made plain
// text, and a '-' that begins a word (an option name) as the minus sign,
// so that options typed from the rendered page are ASCII; literal: every '-'.
std::string RoffText(std::string_view text, bool literal = false);

} // namespace vellisto::cli
