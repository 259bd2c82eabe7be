// SPDX-License-Identifier: MIT
#pragma once

// Editing one event at a time, as both event editors do it (the track edit
// view's table and the event graph view's keys): the in-place edit of one
// field through the one-line "Input" dialog, the type change that presets the
// data words, appending a new Play event after the last one, and the Space
// key's toggle-or-append. Every change records an undo step first and ends by
// refreshing the document's views. Used on the user-interface thread only.
//
// A field is read back by what it means for the event's type: a sound ID as
// a plain integer, volumes in the volume unit (1024 == 1.0), pitches in the
// pitch unit (2^24 == 1.0), balance in the balance unit (512 == centre).

#include "editing/EditOperations.h"
#include "model/Project.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vellisto {
class ValueDialogs;
}

namespace vellisto::editing {

// The five edited fields, numbered as the track edit view's columns.
enum class EventField : std::uint32_t {
    kTime = 1,
    kType = 2,
    kData1 = 3,
    kData2 = 4,
    kData3 = 5,
};

// What a data word holds for an event type; kNone where the editors show
// nothing (All Stop, the unused words, types above 6).
enum class WordMeaning { kNone, kInteger, kVolume, kPitch, kBalance };

WordMeaning MeaningOf(std::uint32_t type, EventField field);

// How the editors show values: times as frame counts or minutes, seconds
// and milliseconds at the output rate; unit values as decimals or raw words.
struct FieldFormat {
    bool showBySample = false;
    bool showNormalized = true;
    std::uint32_t samplesPerSecond = 44100;
};

// A word in the form its meaning gives ("%u", or the unit's text); empty for kNone.
std::string FormatWord(WordMeaning meaning, std::uint32_t value, bool normalized);
// A time as "%u" frames or "%02u:%02u.%03u".
std::string FormatEventTime(std::uint32_t time, const FieldFormat& format);

// The text the "Input" dialog opens with: the time as shown, the type number
// ("%u"), a data word in its unit, or empty where the column shows nothing.
std::string FieldInputText(const Event& event, EventField field, const FieldFormat& format);

// Sets the data words that a change to newType presets, then the type:
//   Play: from Stop the pitch moves over (Data3 := Data2), otherwise Data1 := 0
//         and Data3 := 1.0; in both cases Data2 := 1024;
//   Stop: from Play the pitch moves over (Data2 := Data3), otherwise Data1 :=
//         0 and Data2 := 0;
//   Volume, Stress: Data1 := 1024; Balance: Data1 := 512; Pitch: Data1 := 1.0;
//   All Stop and any other number: no word changes.
void ChangeEventType(Event& event, std::uint32_t newType);

enum class FieldStore {
    kUnchanged, // cancelled, an unreadable time or type, or no such event
    kStored,
};

// Stores text in field of event index of the context's track:
//   Time: a time text at the output rate, at most 0x7FFFFFFF; the track is
//         sorted again when the event left its place (stable);
//   Type: a plain integer; ChangeEventType;
//   data: read by the field's meaning; an unreadable text, or a field with no
//         meaning for the type, stores 0.
// An unreadable time or type changes nothing and records nothing. Every
// stored value records an undo step first and refreshes the views.
FieldStore StoreFieldText(
    const EditContext& context, std::uint32_t index, EventField field, std::string_view text);

// The in-place edit: opens the "Input" dialog on the field's current text and
// stores the answer. Cancel changes nothing.
FieldStore EditEventField(const EditContext& context, ValueDialogs& dialogs, std::uint32_t index,
    EventField field, const FieldFormat& format);

// Appends a Play event after the last one: exists flag only, the last
// event's time (0 on an empty track), sound 0, volume 1024, pitch 1.0. The
// undo step merges with the one of the append before, so a run of appends is
// undone at once. False, after the message, when memory ran out.
bool AppendEvent(const EditContext& context);

// Space: toggles the selected flag of the cursor event or, when the cursor is
// past the last event, appends one. Refreshes the views.
void ToggleOrAppend(const EditContext& context);

} // namespace vellisto::editing
