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
//   200-219 import, 220-255 views, continued in 118-125 and 127-129.
// Menu items and their status-bar prompts belong to the front end's menus
// and are not held here.

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
        "The output format of the imported project is different. Do you continue?")                \
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
    X(kConversionCompatibility, 77, "Conversion Compatibility")                                    \
    X(kOutputFormatLabel, 78, "Output Format(Samples, Bits, Channels)")                            \
    X(kInput, 79, "Input")                                                                         \
    X(kImportSoundList, 80, "Import Sound List")                                                   \
    X(kImportTrackList, 81, "Import Track List")                                                   \
    X(kMix, 82, "Mix")                                                                             \
    X(kClearCache, 83, "Clear Cache")                                                              \
    X(kNoFile, 84, "(No file)")                                                                    \
    X(kBasePathDefault, 85, "Default (where the project file is)")                                 \
    X(kWaveFileFilter, 86, "Wave files (*.wav)|*.wav|All files (*.*)|*.*||")                       \
    X(kProjectFileFilter, 87, "Project files (*.spj)|*.spj|All files (*.*)|*.*||")                 \
    X(kSourceFileFilter, 88, "Source File (*.spj; *.mid; *.bms; *bme)")                            \
    X(kNewProject, 89, "New Project")                                                              \
    X(kApplicationTitle, 90, "Vellisto")                                                           \
    X(kVersionLine, 91, "Vellisto Version 2.7")                                                    \
    X(kAbout, 92, "About")                                                                         \
    X(kOk, 93, "OK")                                                                               \
    X(kCancel, 94, "Cancel")                                                                       \
    X(kSave, 95, "Save")                                                                           \
    X(kPreview, 96, "Preview")                                                                     \
    X(kSettings, 97, "Settings")                                                                   \
    X(kSoundList, 98, "Sound List")                                                                \
    X(kTrackList, 99, "Track List")                                                                \
    X(kFailedMixing, 100, "Failed in mixing.")                                                     \
    X(kAborted, 101, "Aborted.")                                                                   \
    X(kMixReport, 102, "Finished mixing.\nTime to mix: %.3f seconds\nMixing speed: %.4f times")    \
    X(kFailedCreatingThread, 103, "Failed in creating a thread.")                                  \
    X(kPleaseWait, 104, "Please wait for a while...")                                              \
    X(kAbort, 105, "Abort")                                                                        \
    X(kMixTooLong, 106, "The mix is too long for a WAVE file.")                                    \
    X(kUnmixableFormat, 107,                                                                       \
        "The output format cannot be mixed. Use 16 bits and 1 or 2 channels.")                     \
    X(kInformation, 117, "Information")                                                            \
    X(kWaveChannelInteger, 118, "Ch %u %i\n")                                                      \
    X(kLoopBeginFrames, 119, "Beginning of loop   %10u")                                           \
    X(kLoopBeginTime, 120, "Beginning of loop    %02u:%02u.%03u")                                  \
    X(kLoopEndFrames, 121, "End of loop         %10u")                                             \
    X(kLoopEndTime, 122, "End of loop          %02u:%02u.%03u")                                    \
    X(kAttackFrames, 123, "Attack time         %10u")                                              \
    X(kAttackTime, 124, "Attack time          %02u:%02u.%03u")                                     \
    X(kSustainFrames, 125, "Sustain time        %10u")                                             \
    X(kError, 126, "Error")                                                                        \
    X(kSustainTime, 127, "Sustain time         %02u:%02u.%03u")                                    \
    X(kReleaseFrames, 128, "Release time        %10u")                                             \
    X(kReleaseTime, 129, "Release time         %02u:%02u.%03u")                                    \
    X(kSetRangeAndData, 130, "Set Range and Data")                                                 \
    X(kRangeLabel, 131, "Range(Beginning, End)")                                                   \
    X(kDataLabel, 132, "Data(Time, Data1, Data2, Data3)")                                          \
    X(kFilterEvents, 133, "Filter Events")                                                         \
    X(kLowerLimitLabel, 134, "Lower Limit(Time, Data1, Data2, Data3)")                             \
    X(kUpperLimitLabel, 135, "Upper Limit(Time, Data1, Data2, Data3)")                             \
    X(kEventTypeLabel, 136, "Event Type")                                                          \
    X(kFilterAllTypes, 137, "(All)")                                                               \
    X(kFilterPlay, 138, "0 Play")                                                                  \
    X(kFilterStop, 139, "1 Stop")                                                                  \
    X(kFilterAllStop, 140, "2 All Stop")                                                           \
    X(kFilterVolume, 141, "3 Volume")                                                              \
    X(kFilterBalance, 142, "4 Balance")                                                            \
    X(kFilterStress, 143, "5 Stress")                                                              \
    X(kFilterPitch, 144, "6 Pitch")                                                                \
    X(kStretchTimelines, 145, "Stretch Timelines")                                                 \
    X(kStretchFromLabel, 146, "From(Beginning, End)")                                              \
    X(kStretchToLabel, 147, "To(Beginning, End)")                                                  \
    X(kApplyToAllTracks, 148, "Apply This to All Tracks")                                          \
    X(kTrackEditTitle, 150, "Track Edit Track %u [%s]")                                            \
    X(kEventGraphTitle, 151, "Event Graph Track %u [%s]")                                          \
    X(kTrackListTitle, 152, "Track List [%s]")                                                     \
    X(kNoTime, 153, "--:--.---")                                                                   \
    X(kNoFrames, 154, "---------")                                                                 \
    X(kIdCell, 155, "ID   %s")                                                                     \
    X(kVolumeCell, 156, "Vol  %s")                                                                 \
    X(kPositionCell, 157, "Pos  %s")                                                               \
    X(kPitchCell, 158, "Pit  %s")                                                                  \
    X(kTrackSummary, 159, "Length          %02u:%02u.%03u   Events      %u")                       \
    X(kUnusedTrack, 160, "Unused")                                                                 \
    X(kGraphButton, 161, "G")                                                                      \
    X(kMutedMark, 162, "M")                                                                        \
    X(kSoloMark, 163, "S")                                                                         \
    X(kProjectTitle, 220, "Project [%s]")                                                          \
    X(kSettingsHint, 221, "Open the settings window.\nYou can set properties of this project.")    \
    X(kSoundListHint, 222,                                                                         \
        "Open the sound list window.\nYou can select WAVE files and set those details.")           \
    X(kTrackListHint, 223, "Open the track list window.\nYou can edit tracks and those events.")   \
    X(kSoundListTitle, 224, "Sound List [%s]")                                                     \
    X(kSettingsTitle, 225, "Settings [%s]")                                                        \
    X(kClose, 226, "Close")                                                                        \
    X(kDefault, 227, "Default")                                                                    \
    X(kOutputFormatLine, 228, "Output format           %u Hz %u bits %u ch")                       \
    X(kBufferLengthLine, 229, "Buffer length           %-10u")                                     \
    X(kMixingInterpolationLine, 230, "Mixing interpolation    %s")                                 \
    X(kLoadingInterpolationLine, 231, "Loading interpolation   %s")                                \
    X(kSoundCountLine, 232, "Sound count per track   %-10u")                                       \
    X(kPlayingPriorityLine, 233, "Playing priority        %s")                                     \
    X(kStoppingRulesLine, 234, "Stopping rules          %s")                                       \
    X(kChangingStressLine, 235, "Changing stress         %s")                                      \
    X(kChangingPitchLine, 236, "Changing pitch          %s")                                       \
    X(kMasterVolumeLine, 237, "Master volume           %-6.4f")                                    \
    X(kMasterBalanceLine, 238, "Master balance          %-6.4f")                                   \
    X(kReferToBasePath, 239, "Refer to Base Path")                                                 \
    X(kBasePathLine, 240, "Base path               %s")                                            \
    X(kSelectSoundFolder, 241,                                                                     \
        "Please select a directory that is refered or contains sound files.")                      \
    X(kSoundSettingsTitle, 242, "Sound Settings Sound %u [%s]")                                    \
    X(kLoad, 243, "Load")                                                                          \
    X(kWaveform, 244, "Waveform")                                                                  \
    X(kClear, 245, "Clear")                                                                        \
    X(kDetermineBaseFrequency, 246, "Determine Base Frequency")                                    \
    X(kVolumeLine, 247, "Volume              %10.4f")                                              \
    X(kPitchLine, 248, "Pitch               %10.4f")                                               \
    X(kBaseFrequencyLine, 249, "Base frequency      %10.4f")                                       \
    X(kStopEventModeLine, 250, "Stop event mode           %s")                                     \
    X(kLinkedIdLine, 251, "Linked ID                 %4u")                                         \
    X(kLinkingModeLine, 252, "Linking mode              %s")                                       \
    X(kWaveformTitle, 253, "Waveform Sound %u [%s]")                                               \
    X(kWaveLength, 254, "Length %s")                                                               \
    X(kWaveChannelNormalized, 255, "Ch %u %f\n")

enum class TextId : std::uint8_t {
#define VEL_TEXT_ENUM(name, number, text) name = number,
    VEL_TEXTS(VEL_TEXT_ENUM)
#undef VEL_TEXT_ENUM
};

// The text of an entry; empty for entries without one.
std::string_view Text(TextId id);
std::string_view TextByNumber(std::uint8_t number);

} // namespace vellisto
