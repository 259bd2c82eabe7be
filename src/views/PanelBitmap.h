// SPDX-License-Identifier: MIT
#pragma once

// The one off-screen bitmap through which every panel cell is painted before
// it is copied to its window. It grows to the largest width and the largest
// height ever asked for and never shrinks, so painting allocates nothing once
// it has reached the largest cell. The front end wraps the same memory in a
// 32-bit RGB image (rows top to bottom, stride() pixels apart). Used by the
// user-interface thread only.

#include "views/PanelPaint.h"

#include <cstdint>
#include <memory>

namespace vellisto::views {

// At most 2^28 pixels (1 GiB): anything larger is a broken layout, not a cell
// anyone can see, and is refused like a failed allocation.
inline constexpr std::int64_t kMaxPanelBitmapPixels = std::int64_t { 1 } << 28;

class PanelBitmap {
public:
    PanelBitmap() = default;
    PanelBitmap(const PanelBitmap&) = delete;
    PanelBitmap& operator=(const PanelBitmap&) = delete;

    // Makes the bitmap at least width x height. When growing to the larger of
    // each side fails, it is made once more at exactly width x height; when
    // that fails too (or a side is not positive), false: the caller draws
    // nothing, and the bitmap stays as it was.
    bool reserve(std::int32_t width, std::int32_t height);

    PixelBuffer buffer() const
    {
        return PixelBuffer { m_width, m_height, m_width, m_pixels.get() };
    }
    std::int32_t width() const { return m_width; }
    std::int32_t height() const { return m_height; }

private:
    bool allocate(std::int32_t width, std::int32_t height);

    std::unique_ptr<std::uint32_t[]> m_pixels;
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
};

} // namespace vellisto::views
