// SPDX-License-Identifier: MIT
#pragma once

// The mix command: a project mixed into a WAVE file on the mixing worker,
// whoever drives it (the desktop's "Mix" button, the command line's mix).
//
// It refuses a circular link ("There is a circular reference link at sound
// %u."), a format the engine cannot render and a mix too long for a WAVE
// file's 32-bit sizes before any file is chosen; asks for the output file
// (Cancel stops quietly); prepares the sounds (asking about each failure);
// resets the engine with mute and solo ignored; renders on the worker while
// the progress display runs; and reports "Finished mixing..." with the time
// and speed (and, as its detail, the peak level and the clipped samples of
// the written file), "Aborted." or "Failed in mixing." (with the file and
// the system's reason as detail).
//
// The output never loses data: the mix is written into a temporary file
// created exclusively in the output's folder and renamed over the output only
// when complete, so a refused, failed or aborted mix leaves an existing file
// as it was. An output that is the project file itself or one of the sounds
// the mix reads is refused. Runs on the user-interface thread and returns
// after the worker has ended.

#include "document/UserInterface.h"
#include "mix/MixLevels.h"
#include "mix/MixReport.h"
#include "mix/SoundCache.h"
#include "model/Project.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace vellisto {

class Ctest122Doc;

// The figures of a completed mix's report.
struct MixFigures {
    std::uint32_t lengthFrames = 0;
    std::uint64_t elapsedMs = 0; // rendering time
    std::optional<mix::MixLevels> levels; // nullopt when the file could not be read back
};

// Told of each sound that fails, before the user is asked about it.
using SoundFailureReporter = std::function<void(std::uint32_t soundId, const mix::SoundFailure&)>;

// What the mix needs beyond the project; the defaults suit the desktop.
struct MixOptions {
    mix::MillisecondClock clock = mix::SteadyMilliseconds; // for the timing report
    SoundFailureReporter reportSoundFailure;
    // Set from outside the user-interface thread (a signal handler): the mix
    // stops as soon as it is seen, while sounds load or while it renders, and
    // ends as an abort.
    const std::atomic<bool>* interrupt = nullptr;
    // Told the figures of the report once a mix has completed, before it is shown.
    std::function<void(const MixFigures&)> reportFinished;
};

// The mix of project; documentPath is its native file path (empty when
// unsaved) for the sounds' relative names. true when a complete WAVE file
// replaced the output.
bool MixProject(Project& project, std::string_view documentPath, Messages& messages,
    FileChooser& files, ProgressDisplay& progress, const MixOptions& options = {});

// The same for a document's project; on success every view is updated.
bool MixDocument(Ctest122Doc& document, Messages& messages, FileChooser& files,
    ProgressDisplay& progress, const MixOptions& options = {});

} // namespace vellisto
