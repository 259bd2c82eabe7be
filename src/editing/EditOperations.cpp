// SPDX-License-Identifier: MIT
#include "editing/EditOperations.h"

#include "document/Document.h"
#include "editing/DataExpression.h"
#include "editing/EditDialogs.h"
#include "model/EventList.h"
#include "model/UnitText.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <string>

namespace vellisto::editing {

namespace {

    constexpr std::uint32_t kAllOnes = std::numeric_limits<std::uint32_t>::max();

    Project* EditedProject(const EditContext& context)
    {
        if (context.track >= kTrackCount)
            return nullptr;
        return context.document.project();
    }

    Track* EditedTrack(const EditContext& context)
    {
        Project* project = EditedProject(context);
        return project ? &project->tracks[context.track] : nullptr;
    }

    std::uint32_t OutputRate(const EditContext& context)
    {
        return context.document.project()->settings.outputFormat.samplesPerSecond;
    }

    bool AnySelected(const Track& track)
    {
        for (std::uint32_t i = 0; i < track.count; ++i) {
            if (track.events[i].flags & kEventSelected)
                return true;
        }
        return false;
    }

    void ReportDataLost(const EditContext& context)
    {
        ShowError(context.ui, TextId::kOutOfMemoryDataLost);
    }

    // Time, Data1, Data2, Data3 of an event, in the order the dialogs list them.
    std::array<std::uint32_t*, 4> DialogFields(Event& event)
    {
        return { &event.time, &event.data1, &event.data2, &event.data3 };
    }

    std::optional<std::uint32_t> ReadDataLimit(const std::string& text)
    {
        std::size_t pos = 0;
        return ReadUnsignedInteger(text, pos);
    }

    // Time := ((Time - fb) x dst) / src + tb for fb <= Time < fe: a signed
    // 64-bit product and a signed division truncating toward zero; the sum
    // wraps modulo 2^32.
    struct StretchMap {
        std::uint32_t fromBegin;
        std::uint32_t fromEnd;
        std::uint32_t toBegin;
        std::int32_t dst;
        std::int32_t src;

        void apply(Event& event) const
        {
            if (event.time < fromBegin || event.time >= fromEnd)
                return; // half-open: an event at From end stays
            const std::int64_t offset = static_cast<std::int32_t>(event.time - fromBegin);
            const std::int64_t moved = offset * dst / src; // src > 0 here since fe > fb
            event.time = static_cast<std::uint32_t>(moved) + toBegin;
        }
    };

    // Reads the stretch texts; nullopt when From is not valid or any bound
    // passes 0x7FFFFFFF.
    std::optional<StretchMap> ReadStretch(const TimeStretchValues& values, std::uint32_t rate)
    {
        const auto fromBegin = ParseTime(values.fromBeginText, rate);
        const auto fromEnd = ParseTime(values.fromEndText, rate);
        if (!fromBegin || !fromEnd)
            return std::nullopt;
        const std::uint32_t toBegin = ParseTime(values.toBeginText, rate).value_or(*fromBegin);
        const std::uint32_t toEnd = ParseTime(values.toEndText, rate).value_or(*fromEnd);
        for (std::uint32_t bound : { *fromBegin, *fromEnd, toBegin, toEnd }) {
            if (bound > kMaxEditTime)
                return std::nullopt;
        }
        // Every bound is at most 2^31 - 1, so both differences fit 32 signed bits.
        return StretchMap { *fromBegin, *fromEnd, toBegin,
            static_cast<std::int32_t>(toEnd) - static_cast<std::int32_t>(toBegin),
            static_cast<std::int32_t>(*fromEnd) - static_cast<std::int32_t>(*fromBegin) };
    }

} // namespace

void ApplyTimeCeiling(Track& track)
{
    for (std::uint32_t i = 0; i < track.count; ++i)
        track.events[i].time = std::min(track.events[i].time, kMaxEditTime);
}

void Erase(const EditContext& context)
{
    Track* track = EditedTrack(context);
    if (track == nullptr)
        return;
    RecordUndoStep(context.document, context.ui, false);
    if (!RemoveByMask(*track, kEventSelected))
        ReportDataLost(context);
    context.document.UpdateAllViews();
}

void SetRangeAndData(const EditContext& context)
{
    Track* track = EditedTrack(context);
    if (track == nullptr || track->count == 0)
        return;
    const bool hadSelection = AnySelected(*track);
    RangeEditValues values;
    if (hadSelection) {
        // The dialog disables its range: the command works on the selection.
        values.lowerBound = kAllOnes;
        values.upperBound = 0;
    } else {
        values.lowerBound = 0;
        values.upperBound = track->count - 1;
        values.rangeBegin = values.rangeEnd = std::min(context.cursor, track->count - 1);
    }
    values.enabledDataFields = 4;
    if (!context.ui.editRangeAndData(values))
        return;

    RecordUndoStep(context.document, context.ui, false);
    if (!hadSelection) {
        const std::uint32_t begin = std::max(values.rangeBegin, values.lowerBound);
        const std::uint32_t end = std::min(values.rangeEnd, values.upperBound);
        for (std::uint32_t i = begin; i <= end && i < track->count; ++i)
            track->events[i].flags |= kEventSelected;
    }
    for (std::uint32_t i = 0; i < track->count; ++i) {
        Event& event = track->events[i];
        if (!(event.flags & kEventSelected))
            continue;
        const auto fields = DialogFields(event);
        for (std::size_t f = 0; f < fields.size(); ++f)
            ApplyDataExpression(values.dataTexts[f], *fields[f]);
    }
    ApplyTimeCeiling(*track);
    if (!values.dataTexts[0].empty() && !SortByTime(*track))
        ReportDataLost(context);
    context.document.UpdateAllViews();
}

void FilterEvents(const EditContext& context)
{
    Track* track = EditedTrack(context);
    if (track == nullptr || track->count == 0)
        return;
    const bool hadSelection = AnySelected(*track);
    FilterEditValues values;
    if (!context.ui.editFilter(values))
        return;

    const std::uint32_t rate = OutputRate(context);
    std::array<std::uint32_t, 4> lower {};
    std::array<std::uint32_t, 4> upper { kAllOnes, kAllOnes, kAllOnes, kAllOnes };
    lower[0] = ParseTime(values.lowerTexts[0], rate).value_or(lower[0]);
    upper[0] = ParseTime(values.upperTexts[0], rate).value_or(upper[0]);
    for (std::size_t f = 1; f < 4; ++f) {
        lower[f] = ReadDataLimit(values.lowerTexts[f]).value_or(lower[f]);
        upper[f] = ReadDataLimit(values.upperTexts[f]).value_or(upper[f]);
    }

    for (std::uint32_t i = 0; i < track->count; ++i) {
        Event& event = track->events[i];
        bool passes = values.typeIndex == 0 || event.type == values.typeIndex - 1;
        const auto fields = DialogFields(event);
        for (std::size_t f = 0; f < fields.size() && passes; ++f)
            passes = lower[f] <= *fields[f] && *fields[f] <= upper[f];
        if (!hadSelection && passes)
            event.flags |= kEventSelected;
        else if (hadSelection && !passes)
            event.flags &= ~kEventSelected; // the filter narrows a selection
    }
    context.document.UpdateAllViews();
}

void StretchTimelines(const EditContext& context)
{
    if (EditedTrack(context) == nullptr)
        return;
    TimeStretchValues values;
    if (!context.ui.editTimeStretch(values))
        return;
    const auto map = ReadStretch(values, OutputRate(context));
    if (!map) {
        ShowError(context.ui, TextId::kInvalidValue);
        return;
    }

    RecordUndoStep(context.document, context.ui, false);
    Project& project = *context.document.project();
    const std::size_t first = values.allTracks ? 0 : context.track;
    const std::size_t last = values.allTracks ? kTrackCount - 1 : context.track;
    for (std::size_t t = first; t <= last; ++t) {
        Track& track = project.tracks[t];
        for (std::uint32_t i = 0; i < track.count; ++i)
            map->apply(track.events[i]);
        ApplyTimeCeiling(track);
        if (!SortByTime(track)) {
            ReportDataLost(context);
            break;
        }
    }
    context.document.UpdateAllViews();
}

void Deselect(const EditContext& context)
{
    if (Track* track = EditedTrack(context)) {
        for (std::uint32_t i = 0; i < track->count; ++i)
            track->events[i].flags &= ~kEventSelected;
    }
    context.document.UpdateAllViews();
}

void InvertSelection(const EditContext& context)
{
    if (Track* track = EditedTrack(context)) {
        for (std::uint32_t i = 0; i < track->count; ++i)
            track->events[i].flags ^= kEventSelected;
    }
    context.document.UpdateAllViews();
}

void OpenWindowAboutThisSound(const EditContext& context)
{
    if (const Track* track = EditedTrack(context); track && context.cursor < track->count) {
        const Event& event = track->events[context.cursor];
        const bool namesSound = event.type == EventTypeWord(EventType::kPlay)
            || event.type == EventTypeWord(EventType::kStop);
        if (namesSound && event.data1 < kSoundCount)
            context.ui.openSoundWindow(context.document, event.data1);
    }
    context.document.UpdateAllViews();
}

} // namespace vellisto::editing
