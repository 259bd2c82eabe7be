// SPDX-License-Identifier: MIT
#include "views/PanelText.h"

#include <algorithm>
#include <limits>

namespace vellisto::views {

namespace {

    std::int32_t ClampToInt32(std::int64_t value)
    {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(value,
            std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
    }

    // Length of the line break at `pos` (CR LF counts as one break), or 0.
    std::size_t BreakLength(std::u16string_view text, std::size_t pos)
    {
        if (text[pos] == u'\n')
            return 1;
        if (text[pos] == u'\r')
            return pos + 1 < text.size() && text[pos + 1] == u'\n' ? 2 : 1;
        return 0;
    }

} // namespace

TextAlign PanelTextAlign(const PanelCell& cell)
{
    if (cell.kind == CellKind::kButton) {
        if (cell.flags & kAlignLeft)
            return TextAlign::kLeft;
        if (cell.flags & kAlignRight)
            return TextAlign::kRight;
        return TextAlign::kCentre;
    }
    if (cell.flags & kAlignRight)
        return TextAlign::kRight;
    if (cell.flags & kAlignCentre)
        return TextAlign::kCentre;
    return TextAlign::kLeft;
}

PanelTextLayout LayoutPanelText(const PanelCell& cell, std::int32_t lineHeight)
{
    PanelTextLayout layout;
    layout.align = PanelTextAlign(cell);
    layout.clip = PanelRect { cell.left, cell.top, cell.right, cell.bottom };
    if (cell.kind == CellKind::kNothing || cell.width() <= 0 || cell.height() <= 0)
        return layout;
    lineHeight = std::max(lineHeight, std::int32_t { 1 });

    const std::u16string_view text = cell.text;
    if (cell.kind == CellKind::kButton) {
        layout.colour = kBlack;
        layout.singleLine = true;
        // Centred as a whole line: the spare height split, the odd pixel below.
        const std::int64_t top = cell.top + (cell.height() - lineHeight) / 2;
        layout.lines.push_back(PanelTextLine { text,
            PanelRect {
                cell.left, ClampToInt32(top), cell.right, ClampToInt32(top + lineHeight) } });
        return layout;
    }

    layout.colour = cell.colour1;
    layout.expandTabs = true;
    std::int64_t top = cell.top;
    std::size_t start = 0;
    while (top < cell.bottom) {
        std::size_t end = start;
        while (end < text.size() && BreakLength(text, end) == 0)
            ++end;
        layout.lines.push_back(PanelTextLine { text.substr(start, end - start),
            PanelRect {
                cell.left, ClampToInt32(top), cell.right, ClampToInt32(top + lineHeight) } });
        if (end == text.size())
            break;
        start = end + BreakLength(text, end);
        top += lineHeight;
    }
    return layout;
}

} // namespace vellisto::views
