// SPDX-License-Identifier: MIT
#include "views/PanelBitmap.h"

#include <algorithm>
#include <new>

namespace vellisto::views {

bool PanelBitmap::reserve(std::int32_t width, std::int32_t height)
{
    if (width <= 0 || height <= 0)
        return false;
    if (width <= m_width && height <= m_height)
        return true;
    if (allocate(std::max(width, m_width), std::max(height, m_height)))
        return true;
    return allocate(width, height);
}

bool PanelBitmap::allocate(std::int32_t width, std::int32_t height)
{
    const std::int64_t count = std::int64_t { width } * height;
    if (count > kMaxPanelBitmapPixels)
        return false;
    std::unique_ptr<std::uint32_t[]> pixels(
        new (std::nothrow) std::uint32_t[static_cast<std::size_t>(count)]);
    if (!pixels)
        return false;
    m_pixels = std::move(pixels);
    m_width = width;
    m_height = height;
    return true;
}

} // namespace vellisto::views
