// SPDX-License-Identifier: MIT
#include "views/PanelCell.h"

#include "platform/TextCodec.h"

namespace vellisto::views {

PanelCell MakeButtonCell(std::int32_t left, std::int32_t top, std::int32_t right,
    std::int32_t bottom, std::u16string_view text, std::uint32_t command)
{
    PanelCell cell;
    cell.kind = CellKind::kButton;
    cell.left = left;
    cell.top = top;
    cell.right = right;
    cell.bottom = bottom;
    cell.text = text;
    cell.colour1 = kButtonFace;
    cell.colour2 = kButtonColour2;
    cell.command = command;
    return cell;
}

PanelCell MakeTextCell(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
    std::u16string_view text)
{
    PanelCell cell;
    cell.kind = CellKind::kText;
    cell.left = left;
    cell.top = top;
    cell.right = right;
    cell.bottom = bottom;
    cell.text = text;
    cell.colour1 = kTextColour;
    cell.colour2 = kTextFace;
    return cell;
}

void MakeLaidOutCells(std::span<const CellLayout> layout, std::span<PanelCell> cells)
{
    for (std::size_t i = 0; i < layout.size() && i < cells.size(); ++i) {
        const CellLayout& l = layout[i];
        const auto command = static_cast<std::uint32_t>(i);
        if (l.kind == CellKind::kButton) {
            cells[i] = MakeButtonCell(l.left, l.top, l.right, l.bottom, {}, command);
            SetCellText(cells[i], Text(l.text));
        } else {
            cells[i] = MakeTextCell(l.left, l.top, l.right, l.bottom, {});
            cells[i].command = command;
        }
    }
}

void SetCellText(PanelCell& cell, std::u16string_view text) { cell.text.assign(text); }

void SetCellText(PanelCell& cell, std::string_view utf8Text)
{
    cell.text = platform::Utf8ToUtf16(utf8Text);
}

std::optional<std::size_t> FindButtonAt(std::span<const PanelCell> cells, PanelPoint point)
{
    for (std::size_t i = 0; i < cells.size(); ++i)
        if (cells[i].kind == CellKind::kButton && cells[i].contains(point))
            return i;
    return std::nullopt;
}

std::optional<std::size_t> FindCellAt(std::span<const PanelCell> cells, PanelPoint point)
{
    for (std::size_t i = 0; i < cells.size(); ++i)
        if (cells[i].kind != CellKind::kNothing && cells[i].contains(point))
            return i;
    return std::nullopt;
}

} // namespace vellisto::views
