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

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vellisto {

inline constexpr std::uint32_t kProjectVersion = 0x20002; // the version written
inline constexpr std::uint32_t kOldestProjectVersion = 0x10000;

enum class ProjectReadErrorCode {
    kNone,
    kCannotOpen, // missing, unreadable, not a regular file
    kBadMagic, // neither "SPRU" nor "SPRJ"
    kTruncated, // a chunk ends past the end of the data
    kVersionTooNew, // version above 0x20002
    kUnknownChunk, // chunk type above 5
    kSkipPastEnd, // a skip chunk jumps past the end of the data
    kBadSoundIndex, // sound index 1024 or above
    kBadTrackIndex, // track index 64 or above
    kEventsPastEnd, // a track claims more events than the data holds
    kOutOfMemory,
    kMissingEnd, // the data ends without an end chunk
};

// Why a read failed and at which byte offset of the file.
struct ProjectReadError {
    ProjectReadErrorCode code = ProjectReadErrorCode::kNone;
    std::uint64_t offset = 0;
};

// A short English description of the reason, for the command line.
std::string_view ProjectReadErrorText(ProjectReadErrorCode code);
// "<description> at byte <offset>", or the description alone where no offset applies.
std::string DescribeProjectReadError(const ProjectReadError& error);

// Reads a whole project file held in memory into a freshly created project.
bool ParseProjectFile(
    std::span<const std::uint8_t> bytes, Project& project, ProjectReadError* reason = nullptr);

// Reads the file at a native (UTF-8) path.
bool ReadProjectFile(
    const std::string& nativePath, Project& project, ProjectReadError* reason = nullptr);

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
