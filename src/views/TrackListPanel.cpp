// SPDX-License-Identifier: MIT
#include "views/TrackListPanel.h"

#include "editing/ClipboardCommands.h"
#include "model/TextTable.h"
#include "views/ViewTitle.h"

#include <cstdio>

namespace vellisto::views {

namespace {

    // The cells of a row, in table order (row x 4 + column).
    enum Column : std::uint32_t { kNumber = 0, kGraph = 1, kState = 2, kInfo = 3 };

    std::size_t CellIndex(std::uint32_t track, Column column)
    {
        return std::size_t { track } * kTrackListColumns + column;
    }

    std::uint32_t RowOf(std::size_t cell)
    {
        return static_cast<std::uint32_t>(cell / kTrackListColumns);
    }

    Column ColumnOf(std::size_t cell) { return static_cast<Column>(cell % kTrackListColumns); }

    // The information cell under the point: its row, when there is one.
    std::optional<std::uint32_t> InfoRowAt(
        const std::array<PanelCell, kTrackListCellCount>& cells, PanelPoint point)
    {
        const auto cell = FindCellAt(cells, point);
        if (!cell || ColumnOf(*cell) != kInfo)
            return std::nullopt;
        return RowOf(*cell);
    }

} // namespace

std::u16string TrackListTitle(std::u16string_view documentTitle)
{
    return FormatViewTitle(TextId::kTrackListTitle, documentTitle);
}

std::string TrackSummary(const Track& track, std::uint32_t samplesPerSecond)
{
    if (track.count == 0 || !track.events)
        return std::string(Text(TextId::kUnusedTrack));
    const std::uint32_t last = track.events[track.count - 1].time;
    unsigned minutes = 0;
    unsigned seconds = 0;
    unsigned milliseconds = 0;
    if (samplesPerSecond != 0) { // a damaged project may hold rate 0
        minutes = last / samplesPerSecond / 60;
        seconds = last / samplesPerSecond % 60;
        // 64 bits: the remainder times 1000 passes 32 bits at high rates.
        milliseconds = static_cast<unsigned>(
            std::uint64_t { last % samplesPerSecond } * 1000 / samplesPerSecond);
    }
    char text[128];
    std::snprintf(text, sizeof text, Text(TextId::kTrackSummary).data(), minutes, seconds,
        milliseconds, static_cast<unsigned>(track.count));
    return text;
}

bool CycleTrackState(Track& track)
{
    if (track.count == 0)
        return false;
    if (track.flags & kTrackMuted) {
        track.flags = (track.flags & ~kTrackMuted) | kTrackSolo;
    } else if (track.flags & kTrackSolo) {
        track.flags &= ~kTrackSolo;
    } else {
        track.flags |= kTrackMuted;
    }
    return true;
}

TrackListPanel::TrackListPanel()
{
    for (std::uint32_t track = 0; track < kTrackCount; ++track) {
        const std::int32_t top = static_cast<std::int32_t>(track) * kTrackListRowHeight;
        const std::int32_t bottom = top + kTrackListRowHeight;
        m_cells[CellIndex(track, kNumber)]
            = MakeButtonCell(0, top, 40, bottom, {}, CellIndex(track, kNumber));
        SetCellText(m_cells[CellIndex(track, kNumber)], std::to_string(track));
        m_cells[CellIndex(track, kGraph)]
            = MakeButtonCell(40, top, 60, bottom, {}, CellIndex(track, kGraph));
        SetCellText(m_cells[CellIndex(track, kGraph)], Text(TextId::kGraphButton));
        m_cells[CellIndex(track, kState)]
            = MakeButtonCell(60, top, 80, bottom, {}, CellIndex(track, kState));
        m_cells[CellIndex(track, kInfo)] = MakeTextCell(90, top, 620, bottom, {});
        m_cells[CellIndex(track, kInfo)].command = track;
    }
    refresh(nullptr);
}

void TrackListPanel::refresh(const Project* project)
{
    for (std::uint32_t index = 0; index < kTrackCount; ++index) {
        const Track* track = project ? &project->tracks[index] : nullptr;
        PanelCell& state = m_cells[CellIndex(index, kState)];
        const std::uint32_t flags = track ? track->flags : 0;
        if (flags & kTrackMuted) {
            state.colour1 = kMutedFace;
            SetCellText(state, Text(TextId::kMutedMark));
        } else if (flags & kTrackSolo) {
            state.colour1 = kSoloFace;
            SetCellText(state, Text(TextId::kSoloMark));
        } else {
            state.colour1 = kButtonFace;
            state.text.clear();
        }

        PanelCell& info = m_cells[CellIndex(index, kInfo)];
        const bool used = track && track->count > 0;
        info.colour1 = used ? kTextColour : kGreyText;
        info.colour2 = index == m_current ? kCurrentRowFace : kTextFace;
        SetCellText(info,
            used ? TrackSummary(*track, project->settings.outputFormat.samplesPerSecond)
                 : std::string(Text(TextId::kUnusedTrack)));
    }
}

void TrackListPanel::setCurrent(std::uint32_t track)
{
    m_cells[CellIndex(m_current, kInfo)].colour2 = kTextFace;
    m_current = track;
    m_cells[CellIndex(m_current, kInfo)].colour2 = kCurrentRowFace;
}

TrackListOutcome TrackListPanel::leftDown(PanelPoint point)
{
    if (m_press.tracking())
        return {};
    const PressChange change = m_press.leftDown(m_cells, point, false);
    TrackListOutcome outcome;
    outcome.redraw = change.redraw;
    if (!change.redraw) {
        if (const auto row = InfoRowAt(m_cells, point)) {
            setCurrent(*row);
            outcome.action = TrackListAction::kRepaint;
        }
    }
    return outcome;
}

TrackListOutcome TrackListPanel::move(PanelPoint point)
{
    TrackListOutcome outcome;
    outcome.redraw = m_press.move(m_cells, point).redraw;
    return outcome;
}

TrackListOutcome TrackListPanel::leftUp(Project* project, PanelPoint point)
{
    const PressChange change = m_press.leftUp(m_cells, point);
    TrackListOutcome outcome;
    outcome.redraw = change.redraw;
    if (!change.perform)
        return outcome;
    const std::uint32_t track = RowOf(*change.perform);
    outcome.track = track;
    switch (ColumnOf(*change.perform)) {
    case kNumber:
        outcome.action = TrackListAction::kOpenTrackEdit;
        break;
    case kGraph:
        outcome.action = TrackListAction::kOpenEventGraph;
        break;
    case kState:
        if (project && CycleTrackState(project->tracks[track])) {
            refresh(project);
            outcome.action = TrackListAction::kRepaint;
        }
        break;
    case kInfo:
        break;
    }
    return outcome;
}

TrackListOutcome TrackListPanel::rightDown(PanelPoint point)
{
    if (!m_press.rightDown())
        return {};
    TrackListOutcome outcome;
    if (const auto row = InfoRowAt(m_cells, point)) {
        setCurrent(*row);
        outcome.action = TrackListAction::kRepaint;
    }
    return outcome;
}

TrackListOutcome TrackListPanel::rightUp()
{
    TrackListOutcome outcome;
    if (m_press.rightUp())
        outcome.action = TrackListAction::kContextMenu;
    return outcome;
}

TrackListOutcome TrackListPanel::cancel()
{
    TrackListOutcome outcome;
    outcome.redraw = m_press.cancel(m_cells).redraw;
    return outcome;
}

TrackListOutcome TrackListPanel::key(Project* project, TrackListKey key)
{
    if (m_press.tracking())
        return {};
    TrackListOutcome outcome;
    outcome.track = m_current;
    switch (key) {
    case TrackListKey::kEnter:
        outcome.action = TrackListAction::kOpenTrackEdit;
        break;
    case TrackListKey::kGraph:
        outcome.action = TrackListAction::kOpenEventGraph;
        break;
    case TrackListKey::kSpace:
        if (project)
            CycleTrackState(project->tracks[m_current]);
        refresh(project);
        outcome.action = TrackListAction::kRepaint;
        break;
    case TrackListKey::kUp:
    case TrackListKey::kDown:
        if (key == TrackListKey::kUp && m_current > 0)
            setCurrent(m_current - 1);
        else if (key == TrackListKey::kDown && m_current + 1 < kTrackCount)
            setCurrent(m_current + 1);
        outcome.action = TrackListAction::kRepaint;
        outcome.scrollTop = std::int64_t { m_current } * kTrackListRowHeight - 100;
        break;
    }
    return outcome;
}

CommandState TrackListPanel::commandState(EventViewCommand command) const
{
    switch (command) {
    case EventViewCommand::kCopy:
    case EventViewCommand::kPaste:
    case EventViewCommand::kErase:
        return CommandState { true, false };
    default:
        return {};
    }
}

bool TrackListPanel::runCommand(
    EventViewCommand command, Ctest122Doc& document, EditorUserInterface& ui, Clipboard& clipboard)
{
    const editing::EditContext context { document, ui, m_current, 0 };
    switch (command) {
    case EventViewCommand::kCopy:
        editing::CopyTrack(context, clipboard);
        return true;
    case EventViewCommand::kPaste:
        editing::PasteIntoTrack(context, clipboard);
        return true;
    case EventViewCommand::kErase:
        editing::ClearTrack(context);
        return true;
    default:
        return false;
    }
}

} // namespace vellisto::views
