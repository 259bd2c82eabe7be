// SPDX-License-Identifier: MIT
#pragma once

// The press-and-release behaviour that every panel view shares:
//  - a left press starts tracking (ignored while anything is tracked) and
//    presses the button under the pointer, if any (state kPressedInside);
//  - while the pointer moves, the held button shows kPressedInside over its
//    rectangle and kPressedOutside off it;
//  - the left release ends tracking, raises the button and performs its
//    command only when the pointer is still over it;
//  - a right press while nothing is tracked starts a tracking that does
//    nothing but block the left button until the right release.
// Each call reports which cell to redraw and which to perform. Keys are
// ignored while tracking() holds.

#include "views/PanelCell.h"

#include <cstddef>
#include <optional>
#include <span>

namespace vellisto::views {

struct PressChange {
    std::optional<std::size_t> redraw; // a cell whose state changed
    std::optional<std::size_t> perform; // a completed press: run this cell's command
};

class PanelPress {
public:
    // Presses the first button cell under the point (FindButtonAt).
    PressChange leftDown(std::span<PanelCell> cells, PanelPoint point, bool ctrl);
    // Presses `button` (a view that hit-tests its own way), or nothing.
    PressChange leftDownOn(
        std::span<PanelCell> cells, std::optional<std::size_t> button, bool ctrl);
    // Presses the first cell of any drawn kind under the point (FindCellAt):
    // for views whose text lines act when clicked, like their buttons. A text
    // cell's state changes as a button's would; drawing ignores it.
    PressChange leftDownOnAnyCell(std::span<PanelCell> cells, PanelPoint point, bool ctrl);
    PressChange move(std::span<PanelCell> cells, PanelPoint point);
    PressChange leftUp(std::span<PanelCell> cells, PanelPoint point);
    // True when the right button started a (blocking) tracking.
    bool rightDown();
    // True when it ended the right button's tracking.
    bool rightUp();
    // Ends any tracking without performing anything (the window lost the
    // pointer, or is going away); raises a held button.
    PressChange cancel(std::span<PanelCell> cells);

    bool tracking() const { return m_mode != Mode::kIdle; }
    bool ctrlHeld() const { return m_ctrl; }
    std::optional<std::size_t> pressedCell() const { return m_pressed; }

private:
    enum class Mode { kIdle, kLeft, kRight };

    PressChange start(
        std::span<PanelCell> cells, std::optional<std::size_t> cell, bool ctrl, bool anyKind);
    // The held cell, when it is still in the array.
    PanelCell* held(std::span<PanelCell> cells) const;

    Mode m_mode = Mode::kIdle;
    bool m_ctrl = false;
    std::optional<std::size_t> m_pressed;
};

} // namespace vellisto::views
