// SPDX-License-Identifier: MIT
#pragma once

// The project file (".spj"): a magic word followed by typed chunks (version,
// settings, sounds, tracks, end). The reader accepts every layout version up
// to 0x20002 and upgrades older layouts while reading; the writer always
// writes version 0x20002. Reading fills a freshly created Project; on failure
// the project may be partly filled and is to be discarded. Neither reading nor
// writing shows a message: callers report with the system's own texts.
// Stateless; each call works on its own project.

#include "model/Project.h"
#include "platform/ReadError.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vellisto {

inline constexpr std::uint32_t kProjectVersion = 0x20002; // the version written
inline constexpr std::uint32_t kOldestProjectVersion = 0x10000;

// Reads a whole project file held in memory into a freshly created project.
// A given reason says why a read failed, with the offset of the chunk or
// field at fault; it is cleared on success.
bool ParseProjectFile(
    std::span<const std::uint8_t> bytes, Project& project, platform::ReadError* reason = nullptr);

// Reads the file at a native (UTF-8) path.
bool ReadProjectFile(
    const std::string& nativePath, Project& project, platform::ReadError* reason = nullptr);

// The exact bytes of the project file of a project, in layout 0x20002.
std::vector<std::uint8_t> SerializeProjectFile(const Project& project);

enum class ProjectWriteResult {
    kOk,
    kCannotCreate, // the file could not be created
    kWriteError, // writing, flushing or replacing the file failed
};

// Writes the project file through a temporary file in the same folder that
// replaces the target only when everything was written, so a failed write
// never destroys the previous file.
ProjectWriteResult WriteProjectFile(const Project& project, const std::string& nativePath);

// Sets every code unit after the terminating zero of each non-empty sound
// name and of a non-empty base path to zero, so that saved name fields carry
// nothing but the text.
void ClearNameTails(Project& project);

} // namespace vellisto
