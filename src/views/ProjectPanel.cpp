// SPDX-License-Identifier: MIT
#include "views/ProjectPanel.h"

#include "model/TextTable.h"
#include "views/ViewTitle.h"

namespace vellisto::views {

namespace {

    PanelCell Button(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
        TextId text, ProjectCommand command)
    {
        PanelCell cell
            = MakeButtonCell(left, top, right, bottom, {}, static_cast<std::uint32_t>(command));
        SetCellText(cell, Text(text));
        return cell;
    }

    PanelCell Hint(
        std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, TextId text)
    {
        PanelCell cell = MakeTextCell(left, top, right, bottom, {});
        SetCellText(cell, Text(text));
        return cell;
    }

} // namespace

std::optional<ProjectCommand> ProjectCommandOf(std::uint32_t commandWord)
{
    if (commandWord > static_cast<std::uint32_t>(ProjectCommand::kOpenTrackList))
        return std::nullopt;
    return static_cast<ProjectCommand>(commandWord);
}

std::optional<ProjectCommand> ProjectCommandForKey(char32_t key)
{
    switch (key) {
    case U'M':
    case U'm':
        return ProjectCommand::kMix;
    case U'P':
    case U'p':
        return ProjectCommand::kPreview;
    case U'C':
    case U'c':
        return ProjectCommand::kClearCache;
    case U'S':
    case U's':
        return ProjectCommand::kOpenSoundList;
    case U'T':
    case U't':
        return ProjectCommand::kOpenTrackList;
    default:
        return std::nullopt;
    }
}

bool RefreshesAllViews(ProjectCommand command, bool reportedChange)
{
    switch (command) {
    case ProjectCommand::kMix:
    case ProjectCommand::kPreview:
    case ProjectCommand::kClearCache:
        return true;
    case ProjectCommand::kImportSoundList:
    case ProjectCommand::kImportTrackList:
        return reportedChange;
    default:
        return false;
    }
}

std::u16string ProjectViewTitle(std::u16string_view documentTitle)
{
    return FormatViewTitle(TextId::kProjectTitle, documentTitle);
}

ProjectPanel::ProjectPanel()
    : m_cells {
        Button(0, 0, 120, 20, TextId::kSave, ProjectCommand::kSave),
        Button(120, 0, 240, 20, TextId::kMix, ProjectCommand::kMix),
        Button(240, 0, 360, 20, TextId::kPreview, ProjectCommand::kPreview),
        Button(360, 0, 480, 20, TextId::kClearCache, ProjectCommand::kClearCache),
        Button(0, 20, 240, 40, TextId::kImportSoundList, ProjectCommand::kImportSoundList),
        Button(240, 20, 480, 40, TextId::kImportTrackList, ProjectCommand::kImportTrackList),
        Button(0, 60, 160, 100, TextId::kSettings, ProjectCommand::kOpenSettings),
        Hint(180, 60, 600, 100, TextId::kSettingsHint),
        Button(0, 100, 160, 140, TextId::kSoundList, ProjectCommand::kOpenSoundList),
        Hint(180, 100, 600, 140, TextId::kSoundListHint),
        Button(0, 140, 160, 180, TextId::kTrackList, ProjectCommand::kOpenTrackList),
        Hint(180, 140, 600, 180, TextId::kTrackListHint),
    }
{
}

std::optional<ProjectCommand> ProjectPanel::commandOfCell(std::size_t index) const
{
    if (index >= m_cells.size() || m_cells[index].kind != CellKind::kButton)
        return std::nullopt;
    return ProjectCommandOf(m_cells[index].command);
}

std::optional<ProjectCommand> ProjectPanel::key(char32_t key) const
{
    if (m_press.tracking())
        return std::nullopt;
    return ProjectCommandForKey(key);
}

} // namespace vellisto::views
