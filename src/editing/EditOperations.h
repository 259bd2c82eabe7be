// SPDX-License-Identifier: MIT
#pragma once

// The selection-based edit commands shared by the track edit view and the
// event graph view: Erase, Set Range and Data, Filter Events, Stretch
// Timelines, Deselect, Invert Selection and Open Window about This Sound.
// Each works on one track of the document's project, records an undo step
// where the command changes data, and ends by refreshing every view of the
// document. Used on the user-interface thread only.
//
// Times are unsigned 32-bit frame counts at the output rate. Every command
// that can change times ends with the time ceiling: any time above
// 0x7FFFFFFF becomes 0x7FFFFFFF, over the whole edited track.

#include "model/Project.h"

#include <cstdint>

namespace vellisto {
class Ctest122Doc;
class EditorUserInterface;
} // namespace vellisto

namespace vellisto::editing {

// What the calling view passes: its document, its track and its cursor
// event index (the track edit view's current row, which may equal the event
// count; the graph view's last clicked event, any value when none).
struct EditContext {
    Ctest122Doc& document;
    EditorUserInterface& ui;
    std::uint32_t track;
    std::uint32_t cursor;
};

// Sets every time above 0x7FFFFFFF to 0x7FFFFFFF.
void ApplyTimeCeiling(Track& track);

// Removes the selected events (undo step even when none is selected).
void Erase(const EditContext& context);

// Runs the "Set Range and Data" dialog: selects the range when nothing is
// selected, then applies the four data expressions to every selected event.
void SetRangeAndData(const EditContext& context);

// Runs the "Filter Events" dialog: selects the passing events, or narrows an
// existing selection to them. No undo step.
void FilterEvents(const EditContext& context);

// Runs the "Stretch Timelines" dialog: maps times in [from beginning, from
// end) linearly onto [to beginning, to end), on this track or on all tracks.
void StretchTimelines(const EditContext& context);

// Clears, or toggles, the selected flag of every event of the track. No undo step.
void Deselect(const EditContext& context);
void InvertSelection(const EditContext& context);

// Asks the user interface to open the sound settings window of the sound
// named by the cursor event, when it is a Play or Stop event naming a sound.
void OpenWindowAboutThisSound(const EditContext& context);

} // namespace vellisto::editing
