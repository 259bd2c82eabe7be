// SPDX-License-Identifier: MIT
#pragma once

// Reading any input into a new project, the one way every front end opens
// files: the reader is chosen by the name's extension (".mid" the MIDI
// importer, ".bms" or ".bme" the BMS importer, anything else the project
// file reader), and a score is imported after the "Compatibility and Format"
// choice has set the settings. A failure carries the system's message and the
// reader's reason, which the desktop shows as detail and the command line
// prints on a second line. Paths are native paths.

#include "model/Compatibility.h"
#include "model/Project.h"
#include "model/TextTable.h"

#include <memory>
#include <string>
#include <string_view>

namespace vellisto {

// How a path is opened, by its last four characters without regard to case.
enum class DocumentFileKind {
    kProject, // anything else
    kMidi, // ".mid"
    kBms, // ".bms" or ".bme"
};
DocumentFileKind FileKindOf(std::string_view path);

struct OpenedInput {
    std::unique_ptr<Project> project; // null on failure
    TextId message = TextId::kOutOfMemory; // the system's message on failure
    std::string reason; // the reader's reason ("truncated at byte 12"); may be empty
};

// The input at path, read by its kind. choice applies to scores only.
OpenedInput OpenInputFile(std::string_view path, const CompatibilityChoice& choice);

// A project file read for "Import Sound List" or "Import Track List"; its
// failure message is the import's "Failed in loading." text.
OpenedInput OpenListSource(std::string_view path);

// The two list imports once their source is read: the sound list replaces
// every slot's name and settings (releasing all converted samples), the track
// list every track's events, times rescaled to project's output rate. The
// track list is false when memory runs out; the tracks copied so far stay
// replaced.
void ApplySoundList(Project& project, const Project& source);
bool ApplyTrackList(Project& project, const Project& source);

} // namespace vellisto
