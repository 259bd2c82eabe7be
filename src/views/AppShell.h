// SPDX-License-Identifier: MIT
#pragma once

// What the desktop program's shell says and shows beyond the views: the
// document template (its file types and the filter of the open and save
// dialogs), the main window's caption, the frame's own messages, and the
// progress bar's steps. User-interface thread only.

#include "document/UserInterface.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vellisto::views {

// The frame's own texts (the views' and the core's come from the text table).
enum class ShellText {
    kReady, // the status bar while no menu item is under the pointer
    kViewNotAvailable, // a window kind this build cannot open yet
    kMixRunning, // a command refused while a mix renders
    kSaveChanges, // "Save changes to %s?"
    kNoRecentFiles, // the File menu's place holder of an empty recent-file list
    kAllFiles, // the last entry of the document filter
};
std::string_view ShellTextOf(ShellText text);

// The document template: what the open dialog offers ("Source File (...)"
// with .spj, .mid, .bms and .bme, then all files) and the extension a saved
// project gets when the name typed has none.
std::vector<FileFilter> DocumentFileFilters();
inline constexpr std::string_view kProjectExtension = ".spj";

// "Vellisto - title" for the active document; "Vellisto" without one.
std::string MainWindowCaption(std::string_view documentTitle);

// "Save changes to title?", asked before a modified document closes.
std::string SaveChangesQuestion(std::string_view documentTitle);

// A progress bar counts in int; frame counts run to 2^32 - 1. Both are
// halved together until the total fits, so the bar's proportion holds. A
// total of 0 shows an empty bar rather than a busy one.
struct ProgressSteps {
    int value = 0;
    int maximum = 1;
    friend bool operator==(const ProgressSteps&, const ProgressSteps&) = default;
};
ProgressSteps ScaleProgress(std::uint32_t currentFrames, std::uint32_t totalFrames);

} // namespace vellisto::views
