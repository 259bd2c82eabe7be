// SPDX-License-Identifier: MIT
#pragma once

// The owner-drawn panel cell of which every view is built: a rectangle that is
// either a text cell (lines of text on a glossy face) or a button cell (a
// glossy, bevelled face with one centred line, pressed with the mouse).
// Views keep arrays of cells, lay them out in document pixels, and hand them
// to the front end, which paints them through PaintPanelCell (PanelPaint.h)
// and draws the texts as LayoutPanelText (PanelText.h) says. Plain data; the
// user-interface thread owns it.

#include "model/TextTable.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vellisto::views {

// A colour as red, green and blue, each 0..255.
struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend constexpr bool operator==(Colour, Colour) = default;
};

// Colours are written as numbers red + green x 256 + blue x 65536.
constexpr Colour ColourFromNumber(std::uint32_t number)
{
    return Colour { static_cast<std::uint8_t>(number & 0xFF),
        static_cast<std::uint8_t>((number >> 8) & 0xFF),
        static_cast<std::uint8_t>((number >> 16) & 0xFF) };
}

inline constexpr Colour kWhite = ColourFromNumber(0xFFFFFF);
inline constexpr Colour kBlack = ColourFromNumber(0x000000);
inline constexpr Colour kButtonFace = ColourFromNumber(0xC0C0C0); // silver
inline constexpr Colour kButtonColour2 = ColourFromNumber(0x808080); // kept, never drawn
inline constexpr Colour kTextColour = kBlack;
inline constexpr Colour kTextFace = kWhite;
// The face of the current row of the sound and track lists: light blue.
inline constexpr Colour kCurrentRowFace = ColourFromNumber(0xFF8080);

enum class CellKind : std::uint32_t {
    kNothing = 0, // not drawn, never hit
    kText = 1,
    kButton = 2,
};

// Button cells only; text cells ignore their state.
enum class ButtonState : std::uint32_t {
    kUp = 0,
    kPressedOutside = 1, // held down, pointer dragged off the cell
    kPressedInside = 2, // held down, pointer over the cell
};

// Alignment flags. Text cells: kAlignRight, else kAlignCentre, else left.
// Button cells: kAlignLeft, else kAlignRight, else centred.
inline constexpr std::uint32_t kAlignLeft = 1u << 0; // button cells only
inline constexpr std::uint32_t kAlignCentre = 1u << 1; // text cells only
inline constexpr std::uint32_t kAlignRight = 1u << 2;

// A point in the view's document coordinates (scroll position added).
struct PanelPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// A new cell is all zeros: kind kNothing, no text, black colours.
struct PanelCell {
    CellKind kind = CellKind::kNothing;
    ButtonState state = ButtonState::kUp;
    std::uint32_t flags = 0;
    // Document coordinates; right and bottom are exclusive.
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    std::u16string text;
    Colour colour1; // text cell: text colour; button cell: face colour
    Colour colour2; // text cell: face colour; button cell: kept but not drawn
    std::uint32_t command = 0; // the view's action for a button, or a cell's row

    // Sizes in 64 bits: a rectangle spanning the whole coordinate range
    // would overflow 32.
    std::int64_t width() const { return std::int64_t { right } - left; }
    std::int64_t height() const { return std::int64_t { bottom } - top; }
    bool contains(PanelPoint point) const
    {
        return point.x >= left && point.x < right && point.y >= top && point.y < bottom;
    }
};

// A button cell with the standard colours.
PanelCell MakeButtonCell(std::int32_t left, std::int32_t top, std::int32_t right,
    std::int32_t bottom, std::u16string_view text, std::uint32_t command);
// A text cell with the standard colours.
PanelCell MakeTextCell(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
    std::u16string_view text);

// One cell of a panel's fixed layout: a button with its text from the text
// table, or a text cell (whose text the view fills in).
struct CellLayout {
    CellKind kind;
    std::int32_t left, top, right, bottom;
    TextId text; // buttons only
};
// The cells of a layout table, in its order; each cell's command is its index.
void MakeLaidOutCells(std::span<const CellLayout> layout, std::span<PanelCell> cells);

// Replaces the cell's text with a copy; the UTF-8 form is converted (invalid
// sequences become U+FFFD).
void SetCellText(PanelCell& cell, std::u16string_view text);
void SetCellText(PanelCell& cell, std::string_view utf8Text);

// The first button cell, in array order, whose rectangle holds the point.
std::optional<std::size_t> FindButtonAt(std::span<const PanelCell> cells, PanelPoint point);
// The first cell of any drawn kind whose rectangle holds the point.
std::optional<std::size_t> FindCellAt(std::span<const PanelCell> cells, PanelPoint point);

} // namespace vellisto::views
