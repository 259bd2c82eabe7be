// SPDX-License-Identifier: MIT
#pragma once

// Where and how a panel cell's text is drawn: its colour, its alignment and
// one rectangle per line. The front end draws each line inside its rectangle
// with the view font, clipped to the cell, without prefix processing.
//
// Text cells: lines as the text's line breaks give them (CR LF, LF or CR; no
// automatic wrapping), one line height apart from the cell's top, tabs
// expanded; aligned right with kAlignRight, else centred with kAlignCentre,
// else left; drawn in colour 1.
// Button cells: the whole text on one line (line breaks show as spaces),
// centred vertically; aligned left with kAlignLeft, else right with
// kAlignRight, else centred; drawn in the window's default text colour, black.

#include "views/PanelCell.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace vellisto::views {

// The view font's line height in pixels (a fixed-pitch font 16 pixels high).
inline constexpr std::int32_t kViewLineHeight = 16;
// Tab stops are this many average character widths apart.
inline constexpr std::int32_t kTabStopColumns = 8;

enum class TextAlign { kLeft, kCentre, kRight };

struct PanelRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0; // exclusive
    std::int32_t bottom = 0; // exclusive

    friend bool operator==(const PanelRect&, const PanelRect&) = default;
};

struct PanelTextLine {
    std::u16string_view text; // points into the cell's text
    PanelRect rect; // document coordinates; may reach past the clip
};

struct PanelTextLayout {
    Colour colour;
    TextAlign align = TextAlign::kLeft;
    bool singleLine = false; // line breaks inside `text` are shown as spaces
    bool expandTabs = false;
    PanelRect clip; // the cell's rectangle
    std::vector<PanelTextLine> lines; // empty when nothing is to be drawn
};

TextAlign PanelTextAlign(const PanelCell& cell);

// The text of `cell` laid out for a font whose lines are lineHeight pixels
// apart. Lines wholly below the cell are left out.
PanelTextLayout LayoutPanelText(const PanelCell& cell, std::int32_t lineHeight = kViewLineHeight);

} // namespace vellisto::views
