// SPDX-License-Identifier: MIT
#pragma once

// What a view window of the desktop program may ask for beyond its document:
// the dialogs and message boxes (the core's user-interface interfaces,
// implemented with Qt), the desktop clipboard, and opening further windows
// (every "open" makes a new child window, even when one of the kind is
// already open). The main frame owns one set and hands it to every view it
// makes; views keep the reference, never a copy.

#include "document/UserInterface.h"
#include "editing/EditDialogs.h"

#include <cstdint>

namespace vellisto {
class Clipboard;
class Ctest122Doc;
} // namespace vellisto

namespace vellisto::ui {

// The window kinds of a document; the number is a sound ID for the sound
// settings and waveform views, a track index for the track views.
enum class ViewKind {
    kProject, // Ctest122View
    kSettings, // CSettingsView
    kSoundList, // CSoundView
    kSoundEdit, // CSoundEditView, number = sound ID
    kWaveform, // CSoundWaveView, number = sound ID
    kTrackList, // CTrackView
    kTrackEdit, // CTrackEditView, number = track index
    kEventGraph, // CTrackGraphView, number = track index
};

// The preview dialog's two modes: the whole project, or one sound.
enum class PreviewMode { kProject, kSound };

class ViewOpener {
public:
    virtual ~ViewOpener() = default;
    // Opens a new child window of `kind` on document; number as ViewKind says.
    virtual void openView(Ctest122Doc& document, ViewKind kind, std::uint32_t number = 0) = 0;
    // The modal preview of document (number: the sound ID in sound mode).
    virtual void openPreview(Ctest122Doc& document, PreviewMode mode, std::uint32_t number = 0) = 0;
};

// Everything at once, for views that pass it on to the core commands. The
// editor interface answers "Open Window about This Sound" through the opener.
struct ViewServices {
    EditorUserInterface& editor; // messages, the three event edit dialogs, sound windows
    FileChooser& files;
    ValueDialogs& dialogs; // "Compatibility and Format", "Input"
    ProgressDisplay& progress; // the mix progress dialog
    Clipboard& clipboard; // the desktop clipboard under kClipboardFormat
    ViewOpener& opener;

    Messages& messages() { return editor; }
};

} // namespace vellisto::ui
