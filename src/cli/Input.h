// SPDX-License-Identifier: MIT
#pragma once

// Opening the input of a command into a project, and the checks that every
// command makes on the paths it reads and writes. Every reader of the program
// is reached from here, so each command accepts the same inputs. On failure
// one line with the reason has been printed on standard error.

#include "model/Project.h"

#include <memory>
#include <string>

namespace vellisto::cli {

// False after printing one line naming the problem when path is missing, a
// folder, not a regular file or empty: no reader can use it.
bool CheckInputPath(const std::string& path);

// False after printing one line naming the problem when path names something
// other than a regular file: writing replaces the file at path, and a folder,
// a device or a pipe must never be replaced.
bool CheckOutputPath(const std::string& path);

// The project read from the file at path, or null after printing why not:
// the problem with the path, or the system's message with the reader's reason.
std::unique_ptr<Project> OpenInput(const std::string& path);

} // namespace vellisto::cli
