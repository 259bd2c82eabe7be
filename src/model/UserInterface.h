// SPDX-License-Identifier: MIT
#pragma once

// How core operations talk to the user: message boxes, file and folder
// choices, the "Compatibility and Format" choice, the one-line "Input" dialog,
// the three event edit dialogs, the mix progress display and the request to
// open a sound's settings window. The desktop front end implements it with
// real dialogs, the command line answers from its options and tests use a
// scripted fake. Calls are made on the user-interface thread and return when
// the user has answered.
//
// Texts handed over are UTF-8 (the text table's form); file and folder names
// come back as UTF-16, the form projects store.

#include "model/Compatibility.h"
#include "model/TextTable.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vellisto {

class Ctest122Doc;

enum class MessageButtons { kOk, kOkCancel, kYesNo };
enum class MessageAnswer { kOk, kCancel, kYes, kNo };

// "Set Range and Data". The range edits are disabled when upperBound <
// lowerBound; otherwise the range spins run lowerBound..upperBound. The first
// enabledDataFields of the Time, Data1, Data2, Data3 texts can be edited.
// The dialog refuses a range field that is not an unsigned integer with
// "Please enter a positive integer." and stays open.
struct RangeEditValues {
    std::uint32_t rangeBegin = 0;
    std::uint32_t rangeEnd = 0;
    std::uint32_t lowerBound = 0;
    std::uint32_t upperBound = 0;
    std::uint32_t enabledDataFields = 4;
    std::array<std::string, 4> dataTexts; // Time, Data1, Data2, Data3
};

// "Filter Events": limit texts for Time, Data1, Data2, Data3 and the event
// type index (0 "(All)", k: type k - 1).
struct FilterEditValues {
    std::array<std::string, 4> lowerTexts;
    std::array<std::string, 4> upperTexts;
    std::uint32_t typeIndex = 0;
};

// "Stretch Timelines": time texts and the "Apply This to All Tracks" box.
struct TimeStretchValues {
    std::string fromBeginText;
    std::string fromEndText;
    std::string toBeginText;
    std::string toEndText;
    bool allTracks = false;
};

// What the progress display reads while a mix runs on its worker thread. The
// words are written by the worker; requestAbort is the display's only write.
class ProgressSource {
public:
    virtual ~ProgressSource() = default;
    virtual bool done() const = 0;
    virtual bool abortRequested() const = 0;
    virtual std::uint32_t currentFrame() const = 0;
    virtual std::uint32_t totalFrames() const = 0;
    virtual void requestAbort() = 0;
};

class UserInterface {
public:
    virtual ~UserInterface() = default;

    // A message box with a caption from the text table.
    virtual MessageAnswer showMessage(std::string_view text, TextId caption, MessageButtons buttons)
        = 0;

    // File choices. filter is a text-table filter ("Name (*.x)|*.x|...||");
    // nullopt when cancelled. Saving asks before overwriting.
    virtual std::optional<std::u16string> chooseOpenFile(std::string_view filter) = 0;
    virtual std::optional<std::u16string> chooseSaveFile(
        std::string_view filter, std::string_view defaultExtension)
        = 0;
    // A folder; nullopt when cancelled or when the choice is not a file-system folder.
    virtual std::optional<std::u16string> chooseFolder(std::string_view title) = 0;

    // The "Compatibility and Format" choice, opened with initial. With
    // formatOnly the compatibility list is disabled. nullopt on Cancel.
    virtual std::optional<CompatibilityChoice> chooseCompatibility(
        const CompatibilityChoice& initial, bool formatOnly)
        = 0;

    // The one-line "Input" dialog opened on initial (whole text selected);
    // nullopt on Cancel.
    virtual std::optional<std::string> inputText(std::string_view initial) = 0;

    // The event edit dialogs: values hold what the dialog opens with and, on
    // OK (true), what was entered. Cancel returns false.
    virtual bool editRangeAndData(RangeEditValues& values) = 0;
    virtual bool editFilter(FilterEditValues& values) = 0;
    virtual bool editTimeStretch(TimeStretchValues& values) = 0;

    // The modal progress display of a mix: polls source about every 200 ms
    // and returns once done() or abortRequested() is set, or after the user
    // pressed "Abort" (which calls requestAbort()).
    virtual void runProgress(ProgressSource& source) = 0;

    // Opens a new sound settings window of document for sound soundId (below 1024).
    virtual void openSoundWindow(Ctest122Doc& document, std::uint32_t soundId) = 0;
};

// A failure message: caption "Error", OK.
void ShowError(UserInterface& ui, TextId text);
void ShowError(UserInterface& ui, std::string_view text);
// A notice: caption "Information", OK.
void ShowInformation(UserInterface& ui, TextId text);
void ShowInformation(UserInterface& ui, std::string_view text);
// A question: caption "Confirm", OK and Cancel; true on OK.
bool Confirm(UserInterface& ui, TextId text);

} // namespace vellisto
