// SPDX-License-Identifier: MIT
#include "import/BmsText.h"

#include "platform/TextCodec.h"

#include <algorithm>

namespace vellisto::import {

namespace {

    // UTF-16 units after the two-byte mark; a lone last byte is completed with
    // a zero byte, as if the text were followed by zeros.
    std::u16string DecodeUtf16(std::span<const std::uint8_t> bytes, bool bigEndian)
    {
        std::u16string text;
        text.reserve(bytes.size() / 2);
        for (std::size_t i = 2; i < bytes.size(); i += 2) {
            const std::uint32_t first = bytes[i];
            const std::uint32_t second = i + 1 < bytes.size() ? bytes[i + 1] : 0;
            const auto unit
                = static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
            if (unit == 0)
                break;
            text.push_back(unit);
        }
        return text;
    }

} // namespace

std::u16string DecodeBmsText(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
        return DecodeUtf16(bytes, false);
    if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF)
        return DecodeUtf16(bytes, true);
    // A zero byte is a whole character in UTF-8 and in Shift-JIS (never a
    // second byte), so the text can be cut before it is decoded.
    const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t { 0 });
    return platform::DecodeAnsi(bytes.first(static_cast<std::size_t>(end - bytes.begin())));
}

} // namespace vellisto::import
