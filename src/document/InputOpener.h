// SPDX-License-Identifier: MIT
#pragma once

// Reading any input into a new project, the one way every front end opens
// files: the reader is chosen by the name's extension (".mid" the MIDI
// importer, ".bms" or ".bme" the BMS importer, anything else the project
// file reader), and a score is imported after the "Compatibility and Format"
// choice has set the settings. A failure carries the system's message and the
// reader's reason, which the desktop shows as detail and the command line
// prints on a second line. Paths are native paths.

#include "import/BmsImport.h"
#include "model/Compatibility.h"
#include "model/Project.h"
#include "model/TextTable.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

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
    // What an import skipped but did not fail on (the standard BMS rules'
    // reports, one line each), for the front end to show as warnings; the
    // first few only, unlistedWarnings counts the others.
    std::vector<std::string> warnings;
    std::uint64_t unlistedWarnings = 0;
};

// Choices beyond the "Compatibility and Format" dialog that change how a
// score is read; the defaults read every file as the program always has.
struct ImportOptions {
    import::BmsImportOptions bms; // the BMS rules and the #RANDOM seed
};

// The input at path, read by its kind. choice and options apply to scores only.
OpenedInput OpenInputFile(
    std::string_view path, const CompatibilityChoice& choice, const ImportOptions& options = {});

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
