// SPDX-License-Identifier: MIT
#pragma once

// Pixel painting of panel cell faces: the vertical sheen, the soft bevelled
// edges and the white corners of a button, into a 32-bit pixel buffer. Pure
// integer arithmetic, so every pixel is exact and the same on every machine.
// Text is not drawn here; the front end draws it on top (PanelText.h).
//
// Pixels are 0xFFRRGGBB in native byte order: the layout of a 32-bit RGB
// image whose unused top byte is kept at 0xFF. Rows run top to bottom.

#include "views/PanelCell.h"

#include <cstdint>

namespace vellisto::views {

// A view into 32-bit pixels owned elsewhere. Stride counts pixels, not bytes.
struct PixelBuffer {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t stride = 0;
    std::uint32_t* pixels = nullptr;

    std::uint32_t* row(std::int32_t y) const { return pixels + std::ptrdiff_t { y } * stride; }
    std::uint32_t& at(std::int32_t x, std::int32_t y) const { return row(y)[x]; }
};

constexpr std::uint32_t PixelOf(Colour colour)
{
    return 0xFF000000u | std::uint32_t { colour.red } << 16 | std::uint32_t { colour.green } << 8
        | colour.blue;
}

constexpr Colour ColourOfPixel(std::uint32_t pixel)
{
    return Colour { static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 8),
        static_cast<std::uint8_t>(pixel) };
}

// Per channel (w1 x channel1 + w2 x channel2) / 256, truncated; w1 + w2 must
// be 256. Red and blue are blended together in one word: each 16-bit lane
// holds at most 255 x 256, so no lane carries into the next.
constexpr std::uint32_t Blend(
    std::uint32_t w1, std::uint32_t pixel1, std::uint32_t pixel2, std::uint32_t w2)
{
    const std::uint32_t redBlue
        = ((pixel1 & 0xFF00FFu) * w1 + (pixel2 & 0xFF00FFu) * w2) >> 8 & 0xFF00FFu;
    const std::uint32_t green = ((pixel1 & 0xFF00u) * w1 + (pixel2 & 0xFF00u) * w2) >> 8 & 0xFF00u;
    return 0xFF000000u | redBlue | green;
}

// The colours of one face: the face itself, the tints the sheen takes toward
// the top and bottom rows, and the colours the four soft edges fade into.
struct PanelFace {
    std::uint32_t face = 0;
    std::uint32_t topTint = 0;
    std::uint32_t bottomTint = 0;
    std::uint32_t leftEdge = 0;
    std::uint32_t topEdge = 0;
    std::uint32_t rightEdge = 0;
    std::uint32_t bottomEdge = 0;
    bool whiteCorners = false;
};

// The face a cell is painted with: text cells on colour 2 with white edges;
// buttons on colour 1, raised when up, sunken when held, with the sheen
// inverted while the pointer is over the held button.
PanelFace FaceOf(const PanelCell& cell);

// The widest soft edge: 8 pixels, or less on cells smaller than 16 pixels.
std::int32_t EdgeWidth(std::int32_t width, std::int32_t height);

// Paints a width x height face into the top-left corner of `target`. Nothing
// is painted, and false returned, when a side is not positive or the face
// does not fit in the buffer.
bool PaintPanelBackground(
    const PixelBuffer& target, std::int32_t width, std::int32_t height, const PanelFace& face);

// Paints the cell's face at the top-left corner of `target`, sized as the
// cell. False for kind kNothing and when PaintPanelBackground paints nothing.
bool PaintPanelCell(const PixelBuffer& target, const PanelCell& cell);

} // namespace vellisto::views
