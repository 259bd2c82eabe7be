// SPDX-License-Identifier: MIT
#include "views/SoundListPanel.h"

#include "document/NameField.h"
#include "editing/ClipboardBlocks.h"
#include "editing/ClipboardCommands.h"
#include "model/Clipboard.h"
#include "model/Project.h"
#include "model/TextTable.h"
#include "views/ViewTitle.h"

#include <algorithm>

namespace vellisto::views {

namespace {

    constexpr std::int32_t kIdButtonRight = 40;
    constexpr std::int32_t kNameLeft = 50;
    constexpr std::int32_t kNameRight = 600;

    // The row a document point lies on, whatever its x; none outside the list.
    std::optional<std::size_t> RowAt(PanelPoint point)
    {
        if (point.y < 0 || point.y >= kSoundListHeight)
            return std::nullopt;
        return static_cast<std::size_t>(point.y / kSoundRowHeight);
    }

} // namespace

RowRange VisibleSoundRows(std::int32_t scrollY, std::int32_t clientHeight)
{
    const std::int64_t top = std::max<std::int64_t>(scrollY, 0);
    const std::int64_t bottom = std::min<std::int64_t>(
        std::int64_t { scrollY } + std::max(clientHeight, 0), kSoundListHeight);
    if (bottom <= top)
        return {};
    return RowRange { static_cast<std::size_t>(top / kSoundRowHeight),
        static_cast<std::size_t>((bottom + kSoundRowHeight - 1) / kSoundRowHeight) };
}

std::int32_t ScrollForSoundRow(std::uint32_t row, std::int32_t clientHeight)
{
    const std::int64_t wanted = std::int64_t { row } * kSoundRowHeight - kSoundListKeyMargin;
    const std::int64_t limit
        = std::max<std::int64_t>(kSoundListHeight - std::int64_t { clientHeight }, 0);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(wanted, 0, limit));
}

std::u16string SoundListTitle(std::u16string_view documentTitle)
{
    return FormatViewTitle(TextId::kSoundListTitle, documentTitle);
}

void RunSoundListCommand(SoundListCommand command, Ctest122Doc& document, Messages& messages,
    Clipboard& clipboard, std::uint32_t soundId)
{
    switch (command) {
    case SoundListCommand::kCopy:
        editing::CopySound(document, clipboard, soundId);
        break;
    case SoundListCommand::kPaste:
        editing::PasteSound(document, messages, clipboard, soundId);
        break;
    case SoundListCommand::kErase:
        editing::ClearSound(document, messages, soundId);
        break;
    }
}

bool SoundListCommandEnabled(SoundListCommand command, Clipboard& clipboard)
{
    if (command != SoundListCommand::kPaste)
        return true;
    const auto block = clipboard.block();
    return block && editing::ReadSoundBlock(*block).has_value();
}

SoundListPanel::SoundListPanel()
{
    for (std::size_t row = 0; row < kSoundListRows; ++row) {
        const auto top = static_cast<std::int32_t>(row) * kSoundRowHeight;
        const auto id = static_cast<std::uint32_t>(row);
        m_cells[2 * row] = MakeButtonCell(0, top, kIdButtonRight, top + kSoundRowHeight, {}, id);
        SetCellText(m_cells[2 * row], std::to_string(id));
        m_cells[2 * row + 1] = MakeTextCell(kNameLeft, top, kNameRight, top + kSoundRowHeight, {});
        m_cells[2 * row + 1].command = id; // the row the cell belongs to
    }
    update(nullptr);
}

void SoundListPanel::update(const Project* project)
{
    const std::string_view noFile = Text(TextId::kNoFile);
    for (std::size_t row = 0; row < kSoundListRows; ++row) {
        PanelCell& cell = m_cells[2 * row + 1];
        const std::u16string_view name
            = project != nullptr ? NameText(project->sounds[row].fileName) : std::u16string_view {};
        if (name.empty())
            SetCellText(cell, noFile);
        else
            SetCellText(cell, name);
        colourRow(row, name.empty());
    }
}

void SoundListPanel::colourRow(std::size_t row, bool empty)
{
    m_empty[row] = empty;
    PanelCell& cell = m_cells[2 * row + 1];
    cell.colour1 = empty ? kNoFileColour : kTextColour;
    cell.colour2 = row == m_current ? kCurrentRowFace : kTextFace;
}

bool SoundListPanel::setCurrentSound(std::uint32_t soundId)
{
    soundId = std::min<std::uint32_t>(soundId, kSoundListRows - 1);
    if (soundId == m_current)
        return false;
    const std::uint32_t previous = m_current;
    m_current = soundId;
    colourRow(previous, m_empty[previous]);
    colourRow(m_current, m_empty[m_current]);
    return true;
}

PressChange SoundListPanel::leftDown(PanelPoint point, bool ctrl, bool& currentChanged)
{
    currentChanged = false;
    if (m_press.tracking())
        return {};
    // Rows do not overlap: the point's row holds the only cells it can hit.
    const std::optional<std::size_t> row = RowAt(point);
    if (row && m_cells[2 * *row].contains(point))
        return m_press.leftDownOn(m_cells, 2 * *row, ctrl);
    PressChange change = m_press.leftDownOn(m_cells, std::nullopt, ctrl);
    if (row && m_cells[2 * *row + 1].contains(point))
        currentChanged = setCurrentSound(static_cast<std::uint32_t>(*row));
    return change;
}

bool SoundListPanel::rightDown(PanelPoint point)
{
    if (!m_press.rightDown())
        return false;
    const std::optional<std::size_t> row = RowAt(point);
    if (row && m_cells[2 * *row + 1].contains(point))
        return setCurrentSound(static_cast<std::uint32_t>(*row));
    return false;
}

std::optional<std::uint32_t> SoundListPanel::soundOfCell(std::size_t index) const
{
    if (index >= m_cells.size() || m_cells[index].kind != CellKind::kButton)
        return std::nullopt;
    return m_cells[index].command;
}

SoundListPanel::KeyResult SoundListPanel::key(SoundListKey key, std::int32_t clientHeight)
{
    if (m_press.tracking())
        return {};
    switch (key) {
    case SoundListKey::kEnter:
        return KeyResult { m_current, std::nullopt };
    case SoundListKey::kUp:
        setCurrentSound(m_current == 0 ? 0 : m_current - 1);
        break;
    case SoundListKey::kDown:
        setCurrentSound(m_current + 1);
        break;
    }
    return KeyResult { std::nullopt, ScrollForSoundRow(m_current, clientHeight) };
}

} // namespace vellisto::views
