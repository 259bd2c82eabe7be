// SPDX-License-Identifier: MIT
#include "views/EventGraphPanel.h"

#include "document/Document.h"
#include "editing/EditDialogs.h"
#include "model/EventList.h"
#include "model/TextTable.h"
#include "views/ViewTitle.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace vellisto::views {

namespace {

    constexpr std::int32_t kPaintMargin = 64; // markers beginning left of the window still show
    constexpr std::int32_t kHitMargin = 8;
    constexpr std::uint32_t kLabelWidths = 11; // no label, or 1 to 10 digits
    constexpr std::int64_t kLargestTime = 0xFFFFFFFF;

    // The left edge moved margin pixels left, or 0 when it is closer than that to 0.
    std::int64_t MovedLeft(std::int32_t left, std::int32_t margin)
    {
        return left <= margin ? 0 : std::int64_t { left } - margin;
    }

    // The index of the first event at or after time; count when time lies
    // past every 32-bit time.
    std::uint32_t FirstAtOrAfter(Track& track, std::int64_t time)
    {
        if (time > kLargestTime)
            return track.count;
        return LowerBound(track, static_cast<std::uint32_t>(std::max<std::int64_t>(time, 0)));
    }

    std::uint32_t Digits(std::uint32_t value)
    {
        std::uint32_t digits = 1;
        while (value >= 10) {
            value /= 10;
            ++digits;
        }
        return digits;
    }

    bool AnySelected(const Track& track)
    {
        for (std::uint32_t i = 0; i < track.count; ++i) {
            if (track.events[i].flags & kEventSelected)
                return true;
        }
        return false;
    }

    Track* TrackOf(Project* project, std::uint32_t index)
    {
        return project && index < kTrackCount ? &project->tracks[index] : nullptr;
    }

} // namespace

std::u16string EventGraphTitle(std::uint32_t track, std::u16string_view documentTitle)
{
    return FormatViewTitle(TextId::kEventGraphTitle, track, documentTitle);
}

std::string RulerLabel(std::int64_t x, std::uint32_t zoom, bool showBySample, std::uint32_t rate)
{
    // 64 bits: far right at a wide zoom, x x Z passes 32 bits.
    const auto frames = static_cast<unsigned long long>(std::max<std::int64_t>(x, 0)) * zoom;
    char text[64];
    if (showBySample) {
        std::snprintf(text, sizeof text, "%llu", frames);
        return text;
    }
    unsigned long long minutes = 0;
    unsigned long long seconds = 0;
    unsigned long long milliseconds = 0;
    if (rate != 0) {
        minutes = frames / rate / 60;
        seconds = frames / rate % 60;
        milliseconds = frames % rate * 1000 / rate;
    }
    std::snprintf(text, sizeof text, "%02llu:%02llu.%03llu", minutes, seconds, milliseconds);
    return text;
}

EventGraphPanel::EventGraphPanel(std::uint32_t track)
    : m_track(track)
{
}

std::int32_t EventGraphPanel::documentWidth(const Project* project, std::int32_t clientWidth) const
{
    const std::int64_t client = std::max(clientWidth, 0);
    const Track* track = project && m_track < kTrackCount ? &project->tracks[m_track] : nullptr;
    if (track == nullptr || track->count == 0)
        return static_cast<std::int32_t>(client);
    const std::int64_t width = TimeToX(track->events[track->count - 1].time, m_zoom) + client;
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(width, std::numeric_limits<std::int32_t>::max()));
}

std::pair<std::uint32_t, std::uint32_t> EventGraphPanel::eventRange(
    Track& track, std::int64_t left, std::int64_t right) const
{
    const std::uint32_t first = FirstAtOrAfter(track, left * m_zoom);
    const std::uint32_t end = FirstAtOrAfter(track, right * m_zoom);
    return { first, std::max(first, end) };
}

GraphMarker EventGraphPanel::markerOf(const Event& event, std::uint32_t index) const
{
    GraphMarker marker;
    // Within the 32-bit document only at Z = 1 can x pass it; such events lie
    // right of every visible range and are never drawn.
    marker.x = static_cast<std::int32_t>(std::min<std::int64_t>(
        TimeToX(event.time, m_zoom), std::numeric_limits<std::int32_t>::max()));
    marker.y = ValueToY(AxisOf(m_kind), event.*ValueWordOf(m_kind, event.type), m_scale);
    const bool stop = event.type == EventTypeWord(EventType::kStop);
    if (event.flags & kEventSelected)
        marker.fill = kMarkerSelected;
    else if (stop && m_kind == GraphKind::kAutomatic)
        marker.fill = kMarkerStop;
    else
        marker.fill = kMarkerNormal;
    marker.labelled = stop || event.type == EventTypeWord(EventType::kPlay);
    marker.soundId = event.data1;
    marker.event = index;
    return marker;
}

void EventGraphPanel::buildScene(Project* project, GraphRect visible, GraphScene& scene)
{
    scene.ruler.clear();
    scene.greyLines.clear();
    scene.markers.clear();
    scene.area = visible;
    scene.area.left = static_cast<std::int32_t>(MovedLeft(visible.left, kPaintMargin));
    scene.firstEvent = scene.endEvent = 0;
    const std::uint32_t rate = project ? project->settings.outputFormat.samplesPerSecond : 0;

    // Ruler: every 128 pixels from the multiple at or left of the left edge.
    const std::int64_t rulerEnd = (std::int64_t { visible.right } / kRulerStep + 1) * kRulerStep;
    for (std::int64_t x = std::int64_t { scene.area.left } / kRulerStep * kRulerStep; x < rulerEnd;
         x += kRulerStep) {
        if (x > std::numeric_limits<std::int32_t>::max())
            break;
        scene.ruler.push_back(RulerMark {
            static_cast<std::int32_t>(x), RulerLabel(x, m_zoom, m_showBySample, rate) });
    }

    const GraphAxis axis = AxisOf(m_kind);
    for (std::uint32_t i = 0; i < GreyLineCount(m_kind); ++i) {
        const std::int32_t y = ValueToY(axis, 1u << i, m_scale);
        if (y >= visible.top && y < visible.bottom)
            scene.greyLines.push_back(y);
    }
    scene.blueLine = ValueToY(axis, ReferenceValue(m_kind), m_scale);

    Track* track = TrackOf(project, m_track);
    if (track == nullptr || track->count == 0)
        return;
    const auto [first, end] = eventRange(*track, scene.area.left, visible.right);
    scene.firstEvent = first;
    scene.endEvent = end;

    // Markers in list order. Times are sorted, so equal x come in runs; in a
    // run, a marker is covered completely by a later one at the same y with
    // a label as wide, and is left out.
    const std::size_t slots = (static_cast<std::size_t>(GraphHeight(m_scale)) + 1) * kLabelWidths;
    if (m_coverStamp.size() != slots)
        m_coverStamp.assign(slots, 0);
    const auto finishRun = [&](std::size_t runStart) {
        const std::size_t runEnd = scene.markers.size();
        if (runEnd - runStart < 2)
            return;
        if (++m_coverRun == 0) { // the stamps wrapped: start them afresh
            std::fill(m_coverStamp.begin(), m_coverStamp.end(), 0);
            m_coverRun = 1;
        }
        std::size_t write = runEnd;
        for (std::size_t read = runEnd; read-- > runStart;) {
            const GraphMarker& marker = scene.markers[read];
            const std::size_t y
                = static_cast<std::size_t>(std::clamp(marker.y, 0, GraphHeight(m_scale)));
            const std::size_t slot
                = y * kLabelWidths + (marker.labelled ? Digits(marker.soundId) : 0);
            if (m_coverStamp[slot] == m_coverRun)
                continue;
            m_coverStamp[slot] = m_coverRun;
            scene.markers[--write] = scene.markers[read];
        }
        std::move(scene.markers.begin() + static_cast<std::ptrdiff_t>(write), scene.markers.end(),
            scene.markers.begin() + static_cast<std::ptrdiff_t>(runStart));
        scene.markers.resize(runStart + (runEnd - write));
    };

    std::size_t runStart = 0;
    for (std::uint32_t i = first; i < end; ++i) {
        const Event& event = track->events[i];
        if (!ShowsType(m_kind, event.type))
            continue;
        const GraphMarker marker = markerOf(event, i);
        if (scene.markers.size() > runStart && scene.markers[runStart].x != marker.x) {
            finishRun(runStart);
            runStart = scene.markers.size();
        }
        scene.markers.push_back(marker);
    }
    finishRun(runStart);
}

std::optional<std::uint32_t> EventGraphPanel::hitTest(
    Project* project, GraphRect visible, PanelPoint point) const
{
    Track* track = TrackOf(project, m_track);
    if (track == nullptr || track->count == 0)
        return std::nullopt;
    // A marker spans x to x + 4, so only markers with px - 4 <= x <= px can
    // be hit: the visible range narrowed to those times gives the same answer.
    const std::int64_t left
        = std::max(MovedLeft(visible.left, kHitMargin), std::int64_t { point.x } - 4);
    const std::int64_t right
        = std::min(std::int64_t { visible.right }, std::int64_t { point.x } + 1);
    if (right <= 0 || left >= right)
        return std::nullopt;
    const auto [first, end] = eventRange(*track, std::max<std::int64_t>(left, 0), right);
    for (std::uint32_t i = end; i-- > first;) {
        const Event& event = track->events[i];
        if (!ShowsType(m_kind, event.type))
            continue;
        const GraphMarker marker = markerOf(event, i);
        if (marker.x <= point.x && point.x < std::int64_t { marker.x } + 5
            && marker.y - 5 <= point.y && point.y < marker.y + 6)
            return i;
    }
    return std::nullopt;
}

bool EventGraphPanel::leftDown(
    Ctest122Doc& document, EditorUserInterface& ui, GraphRect visible, PanelPoint point, bool ctrl)
{
    if (buttonDown())
        return false;
    m_button = Button::kLeft;
    m_ctrlAtPress = ctrl;
    m_pressPoint = point;
    Track* track = TrackOf(document.project(), m_track);
    if (track == nullptr)
        return false;
    const bool anySelected = AnySelected(*track);

    if (m_adding) {
        if (anySelected)
            editing::Deselect(context(document, ui));
        addEventAt(document, ui, point);
        m_cursor = kNoCursorEvent;
        return true;
    }
    const auto hit = hitTest(document.project(), visible, point);
    m_cursor = hit.value_or(kNoCursorEvent);
    if (ctrl)
        return true;
    if (anySelected) {
        for (std::uint32_t i = 0; i < track->count; ++i)
            track->events[i].flags &= ~kEventSelected;
    }
    if (hit)
        track->events[*hit].flags |= kEventSelected;
    if (anySelected || hit)
        document.UpdateAllViews(UpdateHint { UpdateScope::kTrack, m_track });
    return true;
}

bool EventGraphPanel::leftUp(Ctest122Doc& document, EditorUserInterface& ui, PanelPoint point)
{
    if (m_button != Button::kLeft)
        return false;
    m_button = Button::kNone;
    Track* track = TrackOf(document.project(), m_track);
    if (track == nullptr || m_cursor >= track->count)
        return false;
    const bool samePoint = point.x == m_pressPoint.x && point.y == m_pressPoint.y;
    if (samePoint) {
        if (!m_ctrlAtPress)
            return false;
        track->events[m_cursor].flags ^= kEventSelected;
        document.UpdateAllViews(UpdateHint { UpdateScope::kTrack, m_track });
        return true;
    }
    // Subtract in 64 bits: the two points may lie far apart.
    const auto delta = [](std::int32_t to, std::int32_t from) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t { to } - from,
            std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
    };
    drag(document, ui, delta(point.x, m_pressPoint.x), delta(point.y, m_pressPoint.y));
    return true;
}

bool EventGraphPanel::rightDown()
{
    if (buttonDown())
        return false;
    m_button = Button::kRight;
    return true;
}

bool EventGraphPanel::rightUp()
{
    if (m_button != Button::kRight)
        return false;
    m_button = Button::kNone;
    return true;
}

void EventGraphPanel::cancel() { m_button = Button::kNone; }

void EventGraphPanel::drag(
    Ctest122Doc& document, EditorUserInterface& ui, std::int32_t dx, std::int32_t dy)
{
    Track* track = TrackOf(document.project(), m_track);
    if (track == nullptr)
        return;
    RecordUndoStep(document, ui, false);
    const GraphAxis axis = AxisOf(m_kind);
    for (std::uint32_t i = 0; i < track->count; ++i) {
        Event& event = track->events[i];
        if (!(event.flags & kEventSelected) || !ShowsType(m_kind, event.type))
            continue;
        event.time = DragTime(event.time, dx, m_zoom);
        std::uint32_t& value = event.*ValueWordOf(m_kind, event.type);
        value = DragValue(axis, value, dy, m_scale);
    }
    // The moved values stay even when the sort finds no memory: the list is
    // then out of time order until the next edit that sorts it.
    if (!SortByTime(*track))
        ShowError(ui, TextId::kOutOfMemoryDataLost);
    document.UpdateAllViews(UpdateHint { UpdateScope::kTrack, m_track });
}

void EventGraphPanel::addEventAt(Ctest122Doc& document, EditorUserInterface& ui, PanelPoint point)
{
    Track* track = TrackOf(document.project(), m_track);
    const auto event = NewGraphEvent(m_kind, point.x, point.y, m_zoom, m_scale);
    if (track != nullptr && event) {
        RecordUndoStep(document, ui, false);
        if (!InsertSorted(*track, *event))
            ShowError(ui, TextId::kOutOfMemoryDataLost);
    }
    document.UpdateAllViews(UpdateHint { UpdateScope::kTrack, m_track });
}

bool EventGraphPanel::key(
    Ctest122Doc& document, EditorUserInterface& ui, ValueDialogs& dialogs, GraphKey key)
{
    if (buttonDown())
        return false;
    const Track* track = TrackOf(document.project(), m_track);
    if (track == nullptr)
        return false;
    if (key == GraphKey::kSpace) {
        editing::ToggleOrAppend(context(document, ui));
        return true;
    }
    if (m_cursor >= track->count) {
        m_cursor = track->count;
        return true;
    }
    const auto field = static_cast<editing::EventField>(
        static_cast<std::uint32_t>(key) - static_cast<std::uint32_t>(GraphKey::kEditTime) + 1);
    editing::FieldFormat format;
    format.showBySample = m_showBySample;
    format.showNormalized = m_showNormalized;
    format.samplesPerSecond = document.project()->settings.outputFormat.samplesPerSecond;
    editing::EditEventField(context(document, ui), dialogs, m_cursor, field, format);
    return true;
}

bool EventGraphPanel::zoomIn()
{
    if (m_zoom <= kMinZoom)
        return false;
    m_zoom >>= 1;
    return true;
}

bool EventGraphPanel::zoomOut()
{
    if (m_zoom >= kMaxZoom)
        return false;
    m_zoom <<= 1;
    return true;
}

CommandState EventGraphPanel::commandState(EventViewCommand command) const
{
    if (IsSharedEventCommand(command))
        return CommandState { true, false };
    switch (command) {
    case EventViewCommand::kAddingEventsMode:
        return CommandState { true, m_adding };
    case EventViewCommand::kShowBySample:
        return CommandState { true, m_showBySample };
    case EventViewCommand::kShowNormalized:
        return CommandState { true, m_showNormalized };
    case EventViewCommand::kZoomIn:
        return CommandState { m_zoom > kMinZoom, false };
    case EventViewCommand::kZoomOut:
        return CommandState { m_zoom < kMaxZoom, false };
    case EventViewCommand::kGraphAutomatic:
    case EventViewCommand::kGraphPlayVolume:
    case EventViewCommand::kGraphPlayPitch:
    case EventViewCommand::kGraphStop:
    case EventViewCommand::kGraphVolume:
    case EventViewCommand::kGraphBalance:
    case EventViewCommand::kGraphStress:
    case EventViewCommand::kGraphPitch: {
        const auto kind = static_cast<GraphKind>(static_cast<std::uint32_t>(command)
            - static_cast<std::uint32_t>(EventViewCommand::kGraphAutomatic));
        return CommandState { true, kind == m_kind };
    }
    default:
        return {};
    }
}

bool EventGraphPanel::runCommand(
    EventViewCommand command, Ctest122Doc& document, EditorUserInterface& ui, Clipboard& clipboard)
{
    if (RunSharedEventCommand(command, context(document, ui), clipboard))
        return true;
    switch (command) {
    case EventViewCommand::kAddingEventsMode:
        m_adding = !m_adding;
        return true;
    case EventViewCommand::kShowBySample:
        m_showBySample = !m_showBySample;
        return true;
    case EventViewCommand::kShowNormalized:
        m_showNormalized = !m_showNormalized;
        return true;
    case EventViewCommand::kZoomIn:
        zoomIn();
        return true;
    case EventViewCommand::kZoomOut:
        zoomOut();
        return true;
    case EventViewCommand::kGraphAutomatic:
    case EventViewCommand::kGraphPlayVolume:
    case EventViewCommand::kGraphPlayPitch:
    case EventViewCommand::kGraphStop:
    case EventViewCommand::kGraphVolume:
    case EventViewCommand::kGraphBalance:
    case EventViewCommand::kGraphStress:
    case EventViewCommand::kGraphPitch:
        m_kind = static_cast<GraphKind>(static_cast<std::uint32_t>(command)
            - static_cast<std::uint32_t>(EventViewCommand::kGraphAutomatic));
        return true;
    default:
        return false;
    }
}

} // namespace vellisto::views
