// SPDX-License-Identifier: MIT
#pragma once

// How core commands talk to the user, one small interface per concern:
// message boxes, file and folder choice, the "Compatibility and Format" and
// "Input" dialogs, the mix progress display, and opening windows. A command
// takes only the interfaces it uses. The desktop program implements them
// with real dialogs, the command line answers from its options and tests use
// a scripted fake. Calls are made on the user-interface thread and return
// when the user has answered.
//
// Texts handed over are UTF-8 (the text table's form). Paths chosen by the
// user are native paths (the bytes the file system takes), never the stored
// UTF-16 names of projects and charts.

#include "model/Compatibility.h"
#include "model/TextTable.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellisto {

class Ctest122Doc;

enum class MessageButtons { kOk, kOkCancel, kYesNo };
enum class MessageAnswer { kOk, kCancel, kYes, kNo };

class Messages {
public:
    virtual ~Messages() = default;
    // A message box with a caption from the text table. detail, when not
    // empty, is a second, smaller text under the message: the reason a reader
    // gave, or the file and the system's reason of a failed write.
    virtual MessageAnswer showMessage(
        std::string_view text, TextId caption, MessageButtons buttons, std::string_view detail)
        = 0;
};

// A failure message: caption "Error", OK.
void ShowError(Messages& ui, TextId text, std::string_view detail = {});
void ShowError(Messages& ui, std::string_view text, std::string_view detail = {});
// A notice: caption "Information", OK.
void ShowInformation(Messages& ui, TextId text);
void ShowInformation(Messages& ui, std::string_view text, std::string_view detail = {});
// A question: caption "Confirm", OK and Cancel; true on OK.
bool Confirm(Messages& ui, TextId text);

// One entry of a file dialog's type list: "Project files (*.spj)" with the
// patterns {"*.spj"}.
struct FileFilter {
    std::string description;
    std::vector<std::string> patterns;
    bool operator==(const FileFilter&) const = default;
};

// The entries of a text-table filter ("Name (*.x)|*.x;*.y|All (*.*)|*.*||"):
// description and pattern list alternate, separated by '|', ending at "||"
// or at the end of the text. A description without patterns is dropped.
std::vector<FileFilter> ParseFileFilter(std::string_view tableFilter);

struct FileRequest {
    std::vector<FileFilter> filters;
    std::string startPath; // native folder or file to start in; empty: the dialog's choice
    std::string defaultExtension; // ".wav": added to a typed name without one (save only)
};

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // nullopt when cancelled. Saving asks before overwriting.
    virtual std::optional<std::string> chooseOpenFile(const FileRequest& request) = 0;
    virtual std::optional<std::string> chooseSaveFile(const FileRequest& request) = 0;
    // A folder; nullopt when cancelled or when the choice is not a file-system folder.
    virtual std::optional<std::string> chooseFolder(std::string_view title, std::string_view start)
        = 0;
};

class ValueDialogs {
public:
    virtual ~ValueDialogs() = default;
    // The "Compatibility and Format" choice, opened with initial. With
    // formatOnly the compatibility list is disabled. nullopt on Cancel.
    virtual std::optional<CompatibilityChoice> chooseCompatibility(
        const CompatibilityChoice& initial, bool formatOnly)
        = 0;
    // The one-line "Input" dialog opened on initial (whole text selected);
    // nullopt on Cancel.
    virtual std::optional<std::string> inputText(std::string_view initial) = 0;
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

class ProgressDisplay {
public:
    virtual ~ProgressDisplay() = default;
    // The modal progress display of a mix: polls source about every 200 ms
    // and returns once done() or abortRequested() is set, or after the user
    // pressed "Abort" (which calls requestAbort()).
    virtual void runProgress(ProgressSource& source) = 0;
};

class WindowOpener {
public:
    virtual ~WindowOpener() = default;
    // Opens a new sound settings window of document for sound soundId (below 1024).
    virtual void openSoundWindow(Ctest122Doc& document, std::uint32_t soundId) = 0;
};

} // namespace vellisto
