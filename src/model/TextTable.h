// SPDX-License-Identifier: MIT
#pragma once

// The global text table: 256 numbered texts (UTF-8 here) holding every label,
// format and message the program shows. Entries without a text are empty.
// Read-only after static initialisation; safe from any thread.
//
// Numbers are grouped by the part of the program that owns them, so that each
// can add texts without renumbering others:
//   1-29 messages of the model and document, 30-39 sound input,
//   40-69 setting and event names, 70-99 document commands and dialogs,
//   100-116 mixing, 117 "Information", 126 "Error", 130-199 editing,
//   200-219 import, 220-255 views.

#include <cstdint>
#include <string_view>

namespace vellisto {

#define VEL_TEXTS(X)                                                                               \
    X(kEnglish, 0, "English")                                                                      \
    X(kConfirm, 1, "Confirm")                                                                      \
    X(kOutOfMemory, 2, "Failed in allocating memory space.")                                       \
    X(kOutOfMemoryDataLost, 3, "Failed in allocating memory space. The current data may be lost.") \
    X(kOutOfMemoryNoUndo, 4,                                                                       \
        "Failed in allocating memory space. Undo of this operation does not work.")                \
    X(kFailedLoadingProject, 5, "Failed in loading a project file.")                               \
    X(kFailedLoadingWave, 6, "Failed in loading a WAVE file.")                                     \
    X(kFailedLoadingMidi, 7, "Failed in loading a MIDI file.")                                     \
    X(kFailedLoadingBms, 8, "Failed in loading a BM98 file.")                                      \
    X(kFailedSaving, 9, "Failed in saving.")                                                       \
    X(kUnknownError, 10, "An unknown error occured.")                                              \
    X(kCannotSaveMidi, 11, "You cannot save as a MIDI file. Please save as a project file.")       \
    X(kCannotSaveBms, 12, "You cannot save as a BM98 file. Please save as a project file.")        \
    X(kFailedLoadingSound, 13, "Failed in loading sound %u. Do you want to continue?")             \
    X(kCircularLink, 14, "There is a circular reference link at sound %u.")                        \
    X(kFailedLoading, 15, "Failed in loading.")                                                    \
    X(kOutputFormatDiffers, 16,                                                                    \
        "The output format of the imported project is different. Do you continue?")               \
    X(kSoundSettingsLost, 17, "All of the current sound settings will be lost. Do you continue?")  \
    X(kEventsLost, 18, "All of the current events will be lost. Do you continue?")                 \
    X(kNoDataToCopy, 19, "No data to copy exists.")                                                \
    X(kInvalidValue, 20, "Detected an invalid value.")                                             \
    X(kEnterPositiveInteger, 21, "Please enter a positive integer.")                               \
    X(kClearedCache, 22, "Cleared the cache.")                                                     \
    X(kFailedBaseFrequency, 30, "Failed in determining base frequency.")                           \
    X(kInterpNone, 40, "None")                                                                     \
    X(kInterpLinear, 41, "Linear")                                                                 \
    X(kInterpSincLow, 42, "Use sinc (low resolution)")                                             \
    X(kInterpSinc, 43, "Use sinc")                                                                 \
    X(kPlayOlder, 44, "Play older")                                                                \
    X(kPlayNewer, 45, "Play newer")                                                                \
    X(kStopById, 46, "By ID")                                                                      \
    X(kStopByIdAndPitch, 47, "By ID and by pitch")                                                 \
    X(kEnabled, 48, "Enabled")                                                                     \
    X(kDisabled, 49, "Disabled")                                                                   \
    X(kStopModeNormal, 50, "Normal")                                                               \
    X(kStopModeIgnore, 51, "Ignore")                                                               \
    X(kStopModeForced, 52, "Forced")                                                               \
    X(kStopModeKeepLoop, 53, "Keep loop")                                                          \
    X(kLinkAllEvents, 54, "All events")                                                            \
    X(kEventPlay, 60, "Play")                                                                      \
    X(kEventStop, 61, "Stop")                                                                      \
    X(kEventAllStop, 62, "All Stop")                                                               \
    X(kEventVolume, 63, "Volume")                                                                  \
    X(kEventBalance, 64, "Balance")                                                                \
    X(kEventStress, 65, "Stress")                                                                  \
    X(kEventPitch, 66, "Pitch")                                                                    \
    X(kEventUnknown, 67, "Unknown")                                                                \
    X(kCompatibilityAndFormat, 70, "Compatibility and Format")                                     \
    X(kCompatNormal, 71, "Current Version (Normal Mode)")                                          \
    X(kCompatDrum, 72, "Current Version (Drum Mode)")                                              \
    X(kCompatAuto, 73, "Current Version (Auto Mode)")                                              \
    X(kCompatAutoTrack, 74, "Current Version (Auto Track Mode)")                                   \
    X(kCompatVer13, 75, "Ver 1.3 or Earlier")                                                      \
    X(kCompatVer12, 76, "Ver 1.2 or Earlier")                                                      \
    X(kImportSoundList, 80, "Import Sound List")                                                   \
    X(kImportTrackList, 81, "Import Track List")                                                   \
    X(kMix, 82, "Mix")                                                                             \
    X(kClearCache, 83, "Clear Cache")                                                              \
    X(kNoFile, 84, "(No file)")                                                                    \
    X(kBasePathDefault, 85, "Default (where the project file is)")                                 \
    X(kWaveFileFilter, 86, "Wave files (*.wav)|*.wav|All files (*.*)|*.*||")                      \
    X(kProjectFileFilter, 87, "Project files (*.spj)|*.spj|All files (*.*)|*.*||")                \
    X(kFailedMixing, 100, "Failed in mixing.")                                                     \
    X(kAborted, 101, "Aborted.")                                                                   \
    X(kMixReport, 102,                                                                             \
        "Finished mixing.\nTime to mix: %.3f seconds\nMixing speed: %.4f times")                  \
    X(kFailedCreatingThread, 103, "Failed in creating a thread.")                                  \
    X(kPleaseWait, 104, "Please wait for a while...")                                              \
    X(kAbort, 105, "Abort")                                                                        \
    X(kInformation, 117, "Information")                                                            \
    X(kError, 126, "Error")

enum class TextId : std::uint8_t {
#define VEL_TEXT_ENUM(name, number, text) name = number,
    VEL_TEXTS(VEL_TEXT_ENUM)
#undef VEL_TEXT_ENUM
};

// The text of an entry; empty for entries without one.
std::string_view Text(TextId id);
std::string_view TextByNumber(std::uint8_t number);

} // namespace vellisto
