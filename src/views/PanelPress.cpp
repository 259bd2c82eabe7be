// SPDX-License-Identifier: MIT
#include "views/PanelPress.h"

namespace vellisto::views {

PressChange PanelPress::leftDown(std::span<PanelCell> cells, PanelPoint point, bool ctrl)
{
    if (tracking())
        return {};
    return leftDownOn(cells, FindButtonAt(cells, point), ctrl);
}

PressChange PanelPress::leftDownOn(
    std::span<PanelCell> cells, std::optional<std::size_t> button, bool ctrl)
{
    return start(cells, button, ctrl, false);
}

PressChange PanelPress::leftDownOnAnyCell(std::span<PanelCell> cells, PanelPoint point, bool ctrl)
{
    if (tracking())
        return {};
    return start(cells, FindCellAt(cells, point), ctrl, true);
}

PressChange PanelPress::start(
    std::span<PanelCell> cells, std::optional<std::size_t> cell, bool ctrl, bool anyKind)
{
    if (tracking())
        return {};
    m_mode = Mode::kLeft;
    m_ctrl = ctrl;
    m_pressed.reset();
    if (!cell || *cell >= cells.size())
        return {};
    const CellKind kind = cells[*cell].kind;
    if (kind == CellKind::kNothing || (!anyKind && kind != CellKind::kButton))
        return {};
    m_pressed = cell;
    cells[*cell].state = ButtonState::kPressedInside;
    return PressChange { cell, std::nullopt };
}

PressChange PanelPress::move(std::span<PanelCell> cells, PanelPoint point)
{
    if (m_mode != Mode::kLeft)
        return {};
    PanelCell* cell = held(cells);
    if (cell == nullptr)
        return {};
    const ButtonState state
        = cell->contains(point) ? ButtonState::kPressedInside : ButtonState::kPressedOutside;
    if (cell->state == state)
        return {};
    cell->state = state;
    return PressChange { m_pressed, std::nullopt };
}

PressChange PanelPress::leftUp(std::span<PanelCell> cells, PanelPoint point)
{
    if (m_mode != Mode::kLeft)
        return {};
    m_mode = Mode::kIdle;
    PanelCell* cell = held(cells);
    const std::optional<std::size_t> pressed = m_pressed;
    m_pressed.reset();
    if (cell == nullptr)
        return {};
    cell->state = ButtonState::kUp;
    PressChange change { pressed, std::nullopt };
    if (cell->contains(point))
        change.perform = pressed;
    return change;
}

bool PanelPress::rightDown()
{
    if (tracking())
        return false;
    m_mode = Mode::kRight;
    return true;
}

bool PanelPress::rightUp()
{
    if (m_mode != Mode::kRight)
        return false;
    m_mode = Mode::kIdle;
    return true;
}

PressChange PanelPress::cancel(std::span<PanelCell> cells)
{
    PanelCell* cell = m_mode == Mode::kLeft ? held(cells) : nullptr;
    const std::optional<std::size_t> pressed = m_pressed;
    m_mode = Mode::kIdle;
    m_pressed.reset();
    if (cell == nullptr)
        return {};
    cell->state = ButtonState::kUp;
    return PressChange { pressed, std::nullopt };
}

PanelCell* PanelPress::held(std::span<PanelCell> cells) const
{
    if (!m_pressed || *m_pressed >= cells.size())
        return nullptr;
    return &cells[*m_pressed];
}

} // namespace vellisto::views
