// SPDX-License-Identifier: MIT
#include "views/TrackEditPanel.h"

#include "document/Document.h"
#include "editing/EditDialogs.h"
#include "model/TextTable.h"
#include "views/ViewTitle.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace vellisto::views {

namespace {

    using editing::EventField;
    using editing::WordMeaning;

    // Column 0 (the marker) spans x 0 to 20; the text columns are 110 pixels
    // wide from x 50: 50, 160, 270, 380, 490, ending at 600.
    constexpr std::int32_t ColumnLeft(std::size_t column)
    {
        return column == 0 ? 0 : 50 + static_cast<std::int32_t>(column - 1) * 110;
    }
    constexpr std::int32_t ColumnRight(std::size_t column)
    {
        return column == 0 ? 20 : ColumnLeft(column) + 110;
    }

    // The largest row whose cells still fit 32-bit document coordinates.
    constexpr std::uint32_t kLastAddressableRow
        = (std::numeric_limits<std::int32_t>::max() - kTrackEditRowHeight) / kTrackEditRowHeight;

    std::string Fill(TextId format, const std::string& value)
    {
        char text[96];
        std::snprintf(text, sizeof text, Text(format).data(), value.c_str());
        return text;
    }

    // "%9s": right-aligned in nine columns.
    std::string Padded(std::string text)
    {
        if (text.size() < 9)
            text.insert(0, 9 - text.size(), ' ');
        return text;
    }

    TextId TypeName(std::uint32_t type)
    {
        switch (static_cast<EventType>(type)) {
        case EventType::kPlay:
            return TextId::kEventPlay;
        case EventType::kStop:
            return TextId::kEventStop;
        case EventType::kAllStop:
            return TextId::kEventAllStop;
        case EventType::kVolume:
            return TextId::kEventVolume;
        case EventType::kBalance:
            return TextId::kEventBalance;
        case EventType::kStress:
            return TextId::kEventStress;
        case EventType::kPitch:
            return TextId::kEventPitch;
        }
        return TextId::kEventUnknown;
    }

    // "ID   %s", "Vol  %s", "Pos  %s" or "Pit  %s" by what the word holds.
    std::string DataText(WordMeaning meaning, std::uint32_t value, bool normalized)
    {
        const std::string word = editing::FormatWord(meaning, value, normalized);
        switch (meaning) {
        case WordMeaning::kInteger:
            return Fill(TextId::kIdCell, word);
        case WordMeaning::kVolume:
            return Fill(TextId::kVolumeCell, word);
        case WordMeaning::kBalance:
            return Fill(TextId::kPositionCell, word);
        case WordMeaning::kPitch:
            return Fill(TextId::kPitchCell, word);
        case WordMeaning::kNone:
            break;
        }
        return {};
    }

    std::size_t CellIndex(std::size_t tableRow, std::size_t column)
    {
        return tableRow * kTrackEditColumns + column;
    }

} // namespace

std::u16string TrackEditTitle(std::uint32_t track, std::u16string_view documentTitle)
{
    return FormatViewTitle(TextId::kTrackEditTitle, track, documentTitle);
}

RowTexts TrackEditRowTexts(const Event* event, const editing::FieldFormat& format)
{
    RowTexts row;
    if (event == nullptr || !(event->flags & kEventExists)) {
        row.texts[0] = std::string(Text(format.showBySample ? TextId::kNoFrames : TextId::kNoTime));
        row.grey.fill(true);
        return row;
    }
    row.texts[0] = Padded(editing::FormatEventTime(event->time, format));
    row.texts[1] = std::string(Text(TypeName(event->type)));
    const bool known = event->type <= EventTypeWord(EventType::kPitch);
    row.grey[1] = !known;
    const std::array<std::uint32_t, 3> words { event->data1, event->data2, event->data3 };
    for (std::size_t i = 0; i < 3; ++i) {
        const auto field
            = static_cast<EventField>(static_cast<std::uint32_t>(EventField::kData1) + i);
        row.texts[2 + i]
            = DataText(editing::MeaningOf(event->type, field), words[i], format.showNormalized);
        row.grey[2 + i] = !known;
    }
    return row;
}

std::int32_t TrackEditDocumentHeight(std::uint32_t eventCount, std::int32_t clientHeight)
{
    const std::int64_t height = std::int64_t { std::max(clientHeight, 0) }
        + std::int64_t { eventCount } * kTrackEditRowHeight;
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(height, std::numeric_limits<std::int32_t>::max()));
}

std::optional<TableCell> TrackEditCellAt(PanelPoint point)
{
    if (point.y < 0 || point.x < 0)
        return std::nullopt;
    const auto row = static_cast<std::uint32_t>(point.y / kTrackEditRowHeight);
    for (std::uint32_t column = 0; column < kTrackEditColumns; ++column) {
        if (point.x >= ColumnLeft(column) && point.x < ColumnRight(column))
            return TableCell { row, column };
    }
    return std::nullopt;
}

TrackEditPanel::TrackEditPanel(std::uint32_t track)
    : m_track(track)
{
}

editing::FieldFormat TrackEditPanel::format(const Project* project) const
{
    editing::FieldFormat format;
    format.showBySample = m_showBySample;
    format.showNormalized = m_showNormalized;
    if (project)
        format.samplesPerSecond = project->settings.outputFormat.samplesPerSecond;
    return format;
}

void TrackEditPanel::layout(const Project* project, std::int32_t top, std::int32_t bottom)
{
    const Track* track = project && m_track < kTrackCount ? &project->tracks[m_track] : nullptr;
    const std::uint32_t count = track ? track->count : 0;
    const editing::FieldFormat shown = format(project);
    const std::uint32_t first = static_cast<std::uint32_t>(std::max(top, 0) / kTrackEditRowHeight);
    for (std::size_t tableRow = 0; tableRow < kTrackEditTableRows; ++tableRow) {
        const std::uint64_t row = std::uint64_t { first } + tableRow;
        const std::int64_t rowTop = static_cast<std::int64_t>(row) * kTrackEditRowHeight;
        if (rowTop >= bottom || row > kLastAddressableRow) {
            for (std::size_t column = 0; column < kTrackEditColumns; ++column)
                m_cells[CellIndex(tableRow, column)] = PanelCell {};
            continue;
        }
        const auto n = static_cast<std::uint32_t>(row);
        const auto y = static_cast<std::int32_t>(rowTop);
        const Event* event = n < count ? &track->events[n] : nullptr;

        PanelCell& marker = m_cells[CellIndex(tableRow, 0)];
        marker = MakeButtonCell(0, y, 20, y + kTrackEditRowHeight, {}, n);
        constexpr std::uint32_t kShownSelected = kEventExists | kEventSelected;
        if (event && (event->flags & kShownSelected) == kShownSelected)
            marker.colour1 = kSelectedMarker;
        if (m_markerRow == n)
            marker.state
                = m_markerInside ? ButtonState::kPressedInside : ButtonState::kPressedOutside;

        const RowTexts texts = TrackEditRowTexts(event, shown);
        for (std::size_t column = 1; column < kTrackEditColumns; ++column) {
            PanelCell& cell = m_cells[CellIndex(tableRow, column)];
            cell.kind = CellKind::kText;
            cell.state = ButtonState::kUp;
            cell.flags = 0;
            cell.left = ColumnLeft(column);
            cell.right = ColumnRight(column);
            cell.top = y;
            cell.bottom = y + kTrackEditRowHeight;
            cell.command = n;
            SetCellText(cell, texts.texts[column - 1]);
            cell.colour1 = texts.grey[column - 1] ? kDimText : kTextColour;
            cell.colour2 = kTextFace;
            if (n == m_cursorRow)
                cell.colour2 = column == m_cursorColumn ? kCursorCellFace : kCursorRowFace;
        }
    }
}

TrackEditOutcome TrackEditPanel::beginEdit(
    std::uint32_t eventCount, std::uint32_t row, std::uint32_t column)
{
    TrackEditOutcome outcome;
    outcome.repaint = true;
    if (row >= eventCount) {
        m_cursorRow = eventCount;
        return outcome;
    }
    m_cursorRow = row;
    m_cursorColumn = column;
    outcome.edit = static_cast<EventField>(column);
    return outcome;
}

void TrackEditPanel::runEdit(Ctest122Doc& document, EditorUserInterface& ui, ValueDialogs& dialogs)
{
    if (m_cursorColumn >= 1 && m_cursorColumn < kTrackEditColumns) {
        editing::EditEventField(context(document, ui), dialogs, m_cursorRow,
            static_cast<EventField>(m_cursorColumn), format(document.project()));
    }
    m_cursorColumn = 0;
}

TrackEditOutcome TrackEditPanel::leftDown(std::uint32_t eventCount, PanelPoint point)
{
    if (buttonDown())
        return {};
    const auto cell = TrackEditCellAt(point);
    if (cell && cell->column > 0) {
        // The press opens the modal "Input" dialog, which takes the release:
        // it is not tracked, so no press is left believed down.
        return beginEdit(eventCount, cell->row, cell->column);
    }
    m_button = Button::kLeft;
    if (!cell)
        return {};
    m_markerRow = cell->row;
    m_markerInside = true;
    TrackEditOutcome outcome;
    outcome.repaint = true;
    return outcome;
}

TrackEditOutcome TrackEditPanel::move(PanelPoint point)
{
    if (m_button != Button::kLeft || !m_markerRow)
        return {};
    const auto cell = TrackEditCellAt(point);
    const bool inside = cell && cell->column == 0 && cell->row == *m_markerRow;
    if (inside == m_markerInside)
        return {};
    m_markerInside = inside;
    TrackEditOutcome outcome;
    outcome.repaint = true;
    return outcome;
}

TrackEditOutcome TrackEditPanel::leftUp(
    Ctest122Doc& document, EditorUserInterface& ui, PanelPoint point, bool shift, bool ctrl)
{
    if (m_button != Button::kLeft)
        return {};
    m_button = Button::kNone;
    const std::optional<std::uint32_t> pressed = m_markerRow;
    m_markerRow.reset();
    m_markerInside = false;
    if (!pressed)
        return {};
    TrackEditOutcome outcome;
    outcome.repaint = true; // the marker is drawn released
    const auto cell = TrackEditCellAt(point);
    if (!cell || cell->column != 0 || cell->row != *pressed)
        return outcome;

    Project* project = document.project();
    if (project == nullptr || m_track >= kTrackCount)
        return outcome;
    Track& track = project->tracks[m_track];
    const std::uint32_t row = *pressed;
    if (shift) {
        // From the cursor towards the clicked row, the cursor row itself left
        // alone; a cursor past a list another view shortened stops at its end.
        if (row < track.count && row != m_cursorRow) {
            const std::uint32_t first = row > m_cursorRow ? m_cursorRow + 1 : row;
            const std::uint32_t last
                = row > m_cursorRow ? row : std::min(m_cursorRow - 1, track.count - 1);
            for (std::uint32_t i = first; i <= last; ++i)
                track.events[i].flags ^= kEventSelected;
        }
    } else if (!ctrl) {
        if (row < track.count)
            track.events[row].flags ^= kEventSelected;
        else
            editing::AppendEvent(context(document, ui));
    }
    // The append may have replaced the array: read the count again.
    if (document.project() && row < document.project()->tracks[m_track].count)
        m_cursorRow = row;
    document.UpdateAllViews(UpdateHint { UpdateScope::kTrack, m_track });
    return outcome;
}

TrackEditOutcome TrackEditPanel::rightDown(std::uint32_t eventCount, PanelPoint point)
{
    if (buttonDown())
        return {};
    m_button = Button::kRight;
    TrackEditOutcome outcome;
    const auto cell = TrackEditCellAt(point);
    if (cell && cell->column > 0 && cell->row < eventCount) {
        m_cursorRow = cell->row;
        outcome.repaint = true;
    }
    return outcome;
}

TrackEditOutcome TrackEditPanel::rightUp()
{
    if (m_button != Button::kRight)
        return {};
    m_button = Button::kNone;
    TrackEditOutcome outcome;
    outcome.contextMenu = true;
    return outcome;
}

TrackEditOutcome TrackEditPanel::cancel()
{
    TrackEditOutcome outcome;
    outcome.repaint = m_markerRow.has_value();
    m_button = Button::kNone;
    m_markerRow.reset();
    m_markerInside = false;
    return outcome;
}

TrackEditOutcome TrackEditPanel::key(
    Ctest122Doc& document, EditorUserInterface& ui, TrackEditKey key)
{
    if (buttonDown())
        return {};
    const Project* project = document.project();
    const std::uint32_t count
        = project && m_track < kTrackCount ? project->tracks[m_track].count : 0;
    TrackEditOutcome outcome;
    switch (key) {
    case TrackEditKey::kUp:
    case TrackEditKey::kDown:
        // The cursor may lie past a list another view has shortened.
        m_cursorRow = std::min(m_cursorRow, count);
        if (key == TrackEditKey::kUp && m_cursorRow > 0)
            --m_cursorRow;
        else if (key == TrackEditKey::kDown && m_cursorRow < count)
            ++m_cursorRow;
        outcome.repaint = true;
        outcome.scrollTop = std::int64_t { m_cursorRow } * kTrackEditRowHeight - 100;
        return outcome;
    case TrackEditKey::kSpace:
        editing::ToggleOrAppend(context(document, ui));
        outcome.repaint = true;
        return outcome;
    case TrackEditKey::kEditTime:
    case TrackEditKey::kEditType:
    case TrackEditKey::kEditData1:
    case TrackEditKey::kEditData2:
    case TrackEditKey::kEditData3: {
        const std::uint32_t column = static_cast<std::uint32_t>(key)
            - static_cast<std::uint32_t>(TrackEditKey::kEditTime) + 1;
        return beginEdit(count, m_cursorRow, column);
    }
    }
    return outcome;
}

CommandState TrackEditPanel::commandState(EventViewCommand command) const
{
    if (IsSharedEventCommand(command))
        return CommandState { true, false };
    switch (command) {
    case EventViewCommand::kShowBySample:
        return CommandState { true, m_showBySample };
    case EventViewCommand::kShowNormalized:
        return CommandState { true, m_showNormalized };
    default:
        return {};
    }
}

bool TrackEditPanel::runCommand(
    EventViewCommand command, Ctest122Doc& document, EditorUserInterface& ui, Clipboard& clipboard)
{
    if (RunSharedEventCommand(command, context(document, ui), clipboard))
        return true;
    switch (command) {
    case EventViewCommand::kShowBySample:
        m_showBySample = !m_showBySample;
        return true;
    case EventViewCommand::kShowNormalized:
        m_showNormalized = !m_showNormalized;
        return true;
    default:
        return false;
    }
}

} // namespace vellisto::views
