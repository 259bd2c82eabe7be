// SPDX-License-Identifier: MIT
#pragma once

// Opening the input of a command into a project. Every reader of the program
// is reached from here, so each command accepts the same inputs. On failure
// the reason has been printed on standard error.

#include "model/Project.h"

#include <memory>
#include <string>

namespace vellisto::cli {

// The project read from the file at path, or null after printing why not:
// one line for a missing, unreadable, empty or folder path; otherwise the
// system's message with the reader's reason on a second line.
std::unique_ptr<Project> OpenInput(const std::string& path);

} // namespace vellisto::cli
