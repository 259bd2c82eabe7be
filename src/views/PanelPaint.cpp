// SPDX-License-Identifier: MIT
#include "views/PanelPaint.h"

#include <algorithm>

namespace vellisto::views {

namespace {

    constexpr std::uint32_t kWhitePixel = PixelOf(kWhite);
    constexpr std::uint32_t kBlackPixel = PixelOf(kBlack);

    // Vertical sheen. Rows count from the bottom (r = 0) upward and take
    // q = r x 128 / h: the lower half is tinted toward the bottom tint with
    // weight 64 - q, the upper half toward the top tint with weight q - 64,
    // so the bottom and top rows carry about a quarter of their tint and the
    // middle rows none.
    void PaintSheen(
        const PixelBuffer& target, std::int32_t width, std::int32_t height, const PanelFace& face)
    {
        const std::int32_t half = (height + 1) / 2;
        for (std::int32_t r = 0; r < height; ++r) {
            // 64 bits: r x 128 overflows 32 on very tall cells.
            const auto q = static_cast<std::uint32_t>(std::int64_t { r } * 128 / height);
            const std::uint32_t pixel = r < half
                ? Blend(192 + q, face.face, face.bottomTint, 64 - q)
                : Blend(320 - q, face.face, face.topTint, q - 64);
            std::uint32_t* row = target.row(height - 1 - r);
            std::fill(row, row + width, pixel);
        }
    }

    // Soft edges: the j-th pixel from an edge (j < n) takes 256 >> j of the
    // edge colour, so the outermost pixel is the edge colour and each next
    // one half as much. Rows are done first, then columns, so the top and
    // bottom edges lie over the side edges in the corners.
    void PaintEdges(
        const PixelBuffer& target, std::int32_t width, std::int32_t height, const PanelFace& face)
    {
        const std::int32_t n = EdgeWidth(width, height);
        for (std::int32_t y = 0; y < height; ++y) {
            std::uint32_t* row = target.row(y);
            for (std::int32_t j = 0; j < n; ++j) {
                const std::uint32_t edge = 256u >> j;
                row[j] = Blend(256 - edge, row[j], face.leftEdge, edge);
                row[width - 1 - j] = Blend(256 - edge, row[width - 1 - j], face.rightEdge, edge);
            }
        }
        for (std::int32_t j = 0; j < n; ++j) {
            const std::uint32_t edge = 256u >> j;
            std::uint32_t* bottom = target.row(height - 1 - j);
            std::uint32_t* top = target.row(j);
            for (std::int32_t x = 0; x < width; ++x) {
                bottom[x] = Blend(256 - edge, bottom[x], face.bottomEdge, edge);
                top[x] = Blend(256 - edge, top[x], face.topEdge, edge);
            }
        }
    }

} // namespace

PanelFace FaceOf(const PanelCell& cell)
{
    PanelFace face;
    if (cell.kind == CellKind::kText) {
        face.face = PixelOf(cell.colour2);
        face.topTint = kWhitePixel;
        face.bottomTint = kBlackPixel;
        face.leftEdge = face.topEdge = face.rightEdge = face.bottomEdge = kWhitePixel;
        return face;
    }
    face.face = PixelOf(cell.colour1);
    face.whiteCorners = true;
    const bool inverted = cell.state == ButtonState::kPressedInside;
    face.topTint = inverted ? kBlackPixel : kWhitePixel;
    face.bottomTint = inverted ? kWhitePixel : kBlackPixel;
    // Raised when up; any held state is sunken, whatever its number.
    const bool raised = cell.state == ButtonState::kUp;
    face.leftEdge = face.topEdge = raised ? kWhitePixel : kBlackPixel;
    face.rightEdge = face.bottomEdge = raised ? kBlackPixel : kWhitePixel;
    return face;
}

std::int32_t EdgeWidth(std::int32_t width, std::int32_t height)
{
    return std::min({ std::int32_t { 8 }, width / 2, height / 2 });
}

bool PaintPanelBackground(
    const PixelBuffer& target, std::int32_t width, std::int32_t height, const PanelFace& face)
{
    if (width <= 0 || height <= 0 || target.pixels == nullptr || width > target.width
        || height > target.height || target.stride < width)
        return false;
    PaintSheen(target, width, height, face);
    PaintEdges(target, width, height, face);
    if (face.whiteCorners) {
        target.at(0, 0) = kWhitePixel;
        target.at(width - 1, 0) = kWhitePixel;
        target.at(0, height - 1) = kWhitePixel;
        target.at(width - 1, height - 1) = kWhitePixel;
    }
    return true;
}

bool PaintPanelCell(const PixelBuffer& target, const PanelCell& cell)
{
    if (cell.kind == CellKind::kNothing)
        return false;
    const std::int64_t width = cell.width();
    const std::int64_t height = cell.height();
    if (width <= 0 || height <= 0 || width > target.width || height > target.height)
        return false;
    return PaintPanelBackground(
        target, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height), FaceOf(cell));
}

} // namespace vellisto::views
