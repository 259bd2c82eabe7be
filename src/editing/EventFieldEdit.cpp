// SPDX-License-Identifier: MIT
#include "editing/EventFieldEdit.h"

#include "document/Document.h"
#include "editing/EditDialogs.h"
#include "model/EventList.h"
#include "model/FixedPoint.h"
#include "model/UnitText.h"

#include <algorithm>

namespace vellisto::editing {

namespace {

    constexpr std::uint32_t kPlay = EventTypeWord(EventType::kPlay);
    constexpr std::uint32_t kStop = EventTypeWord(EventType::kStop);

    Track* EditedTrack(const EditContext& context)
    {
        Project* project = context.document.project();
        if (project == nullptr || context.track >= kTrackCount)
            return nullptr;
        return &project->tracks[context.track];
    }

    std::uint32_t* FieldWord(Event& event, EventField field)
    {
        switch (field) {
        case EventField::kTime:
            return &event.time;
        case EventField::kType:
            return &event.type;
        case EventField::kData1:
            return &event.data1;
        case EventField::kData2:
            return &event.data2;
        case EventField::kData3:
            return &event.data3;
        }
        return nullptr;
    }

    std::optional<std::uint32_t> ParseWord(WordMeaning meaning, std::string_view text)
    {
        switch (meaning) {
        case WordMeaning::kInteger:
            return ParseInteger(text);
        case WordMeaning::kVolume:
            return ParseVolume(text);
        case WordMeaning::kPitch:
            return ParsePitch(text);
        case WordMeaning::kBalance:
            return ParseBalance(text);
        case WordMeaning::kNone:
            break;
        }
        return std::nullopt;
    }

    // The event's place is kept when its time still lies between its
    // neighbours' (equal times included: the sort is stable and would not move it).
    bool InPlace(const Track& track, std::uint32_t index)
    {
        const std::uint32_t time = track.events[index].time;
        if (index > 0 && track.events[index - 1].time > time)
            return false;
        if (index + 1 < track.count && track.events[index + 1].time < time)
            return false;
        return true;
    }

} // namespace

WordMeaning MeaningOf(std::uint32_t type, EventField field)
{
    switch (static_cast<EventType>(type)) {
    case EventType::kPlay:
        return field == EventField::kData1 ? WordMeaning::kInteger
            : field == EventField::kData2  ? WordMeaning::kVolume
            : field == EventField::kData3  ? WordMeaning::kPitch
                                           : WordMeaning::kNone;
    case EventType::kStop:
        return field == EventField::kData1 ? WordMeaning::kInteger
            : field == EventField::kData2  ? WordMeaning::kPitch
                                           : WordMeaning::kNone;
    case EventType::kVolume:
    case EventType::kStress:
        return field == EventField::kData1 ? WordMeaning::kVolume : WordMeaning::kNone;
    case EventType::kBalance:
        return field == EventField::kData1 ? WordMeaning::kBalance : WordMeaning::kNone;
    case EventType::kPitch:
        return field == EventField::kData1 ? WordMeaning::kPitch : WordMeaning::kNone;
    case EventType::kAllStop:
        break;
    }
    return WordMeaning::kNone;
}

std::string FormatWord(WordMeaning meaning, std::uint32_t value, bool normalized)
{
    switch (meaning) {
    case WordMeaning::kInteger:
        return FormatInteger(value);
    case WordMeaning::kVolume:
        return FormatVolume(value, normalized);
    case WordMeaning::kPitch:
        return FormatPitch(value, normalized);
    case WordMeaning::kBalance:
        return FormatBalance(value, normalized);
    case WordMeaning::kNone:
        break;
    }
    return {};
}

std::string FormatEventTime(std::uint32_t time, const FieldFormat& format)
{
    return format.showBySample ? FormatFrames(time, false)
                               : FormatTime(time, format.samplesPerSecond);
}

std::string FieldInputText(const Event& event, EventField field, const FieldFormat& format)
{
    switch (field) {
    case EventField::kTime:
        return FormatEventTime(event.time, format);
    case EventField::kType:
        return FormatInteger(event.type);
    default: {
        Event copy = event;
        return FormatWord(
            MeaningOf(event.type, field), *FieldWord(copy, field), format.showNormalized);
    }
    }
}

void ChangeEventType(Event& event, std::uint32_t newType)
{
    switch (static_cast<EventType>(newType)) {
    case EventType::kPlay:
        if (event.type == kStop) {
            event.data3 = event.data2; // the pitch moves over; the sound stays
        } else {
            event.data1 = 0;
            event.data3 = kPitchOne;
        }
        event.data2 = kVolumeOne;
        break;
    case EventType::kStop:
        if (event.type == kPlay) {
            event.data2 = event.data3; // the pitch moves over; the sound stays
        } else {
            event.data1 = 0;
            event.data2 = 0;
        }
        break;
    case EventType::kVolume:
    case EventType::kStress:
        event.data1 = kVolumeOne;
        break;
    case EventType::kBalance:
        event.data1 = kBalanceCentre;
        break;
    case EventType::kPitch:
        event.data1 = kPitchOne;
        break;
    case EventType::kAllStop:
        break;
    }
    event.type = newType;
}

FieldStore StoreFieldText(
    const EditContext& context, std::uint32_t index, EventField field, std::string_view text)
{
    Track* track = EditedTrack(context);
    if (track == nullptr || index >= track->count)
        return FieldStore::kUnchanged;
    Event& event = track->events[index];

    switch (field) {
    case EventField::kTime: {
        const std::uint32_t rate
            = context.document.project()->settings.outputFormat.samplesPerSecond;
        const auto time = ParseTime(text, rate);
        if (!time)
            return FieldStore::kUnchanged;
        RecordUndoStep(context.document, context.ui, false);
        event.time = std::min(*time, kMaxEditTime);
        if (!InPlace(*track, index) && !SortByTime(*track))
            ShowError(context.ui, TextId::kOutOfMemoryDataLost);
        break;
    }
    case EventField::kType: {
        const auto type = ParseInteger(text);
        if (!type)
            return FieldStore::kUnchanged;
        RecordUndoStep(context.document, context.ui, false);
        ChangeEventType(event, *type);
        break;
    }
    default:
        RecordUndoStep(context.document, context.ui, false);
        // Unreadable text, or a word the type does not use, stores 0.
        *FieldWord(event, field) = ParseWord(MeaningOf(event.type, field), text).value_or(0);
        break;
    }
    // Every view of the document reads the changed event: the graph of this
    // track, the track list's length and count.
    context.document.UpdateAllViews(UpdateHint { UpdateScope::kTrack, context.track });
    return FieldStore::kStored;
}

FieldStore EditEventField(const EditContext& context, ValueDialogs& dialogs, std::uint32_t index,
    EventField field, const FieldFormat& format)
{
    const Track* track = EditedTrack(context);
    if (track == nullptr || index >= track->count)
        return FieldStore::kUnchanged;
    const auto answer = dialogs.inputText(FieldInputText(track->events[index], field, format));
    if (!answer)
        return FieldStore::kUnchanged;
    // The dialog ran modally; look the event up again rather than trust the pointer.
    return StoreFieldText(context, index, field, *answer);
}

bool AppendEvent(const EditContext& context)
{
    Track* track = EditedTrack(context);
    if (track == nullptr)
        return false;
    RecordUndoStep(context.document, context.ui, true);
    const std::uint32_t count = track->count;
    const std::uint32_t time = count > 0 ? track->events[count - 1].time : 0;
    if (!InsertGap(*track, 1, count)) {
        ShowError(context.ui, TextId::kOutOfMemoryDataLost);
        context.document.UpdateAllViews(UpdateHint { UpdateScope::kTrack, context.track });
        return false;
    }
    track->events[count] = Event { kEventExists, time, kPlay, 0, kVolumeOne, kPitchOne };
    context.document.UpdateAllViews(UpdateHint { UpdateScope::kTrack, context.track });
    return true;
}

void ToggleOrAppend(const EditContext& context)
{
    Track* track = EditedTrack(context);
    if (track == nullptr)
        return;
    if (context.cursor >= track->count) {
        AppendEvent(context);
        return;
    }
    track->events[context.cursor].flags ^= kEventSelected;
    context.document.UpdateAllViews(UpdateHint { UpdateScope::kTrack, context.track });
}

} // namespace vellisto::editing
