// SPDX-License-Identifier: MIT
#include "import/BmsText.h"

#include "platform/TextCodec.h"

#include <algorithm>

namespace vellisto::import {

namespace {

    bool IsBomLe(std::span<const std::uint8_t> bytes)
    {
        return bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
    }

    bool IsBomBe(std::span<const std::uint8_t> bytes)
    {
        return bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF;
    }

    bool IsLineEnd(std::uint32_t c) { return c == '\r' || c == '\n'; }

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
    if (IsBomLe(bytes))
        return DecodeUtf16(bytes, false);
    if (IsBomBe(bytes))
        return DecodeUtf16(bytes, true);
    // A zero byte is a whole character in UTF-8 and in Shift-JIS (never a
    // second byte), so the text can be cut before it is decoded.
    const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t { 0 });
    return platform::DecodeAnsi(bytes.first(static_cast<std::size_t>(end - bytes.begin())));
}

std::uint64_t BmsLineOffset(
    std::span<const std::uint8_t> bytes, std::u16string_view text, std::size_t start)
{
    // UTF-16 text: every unit is two bytes after the mark.
    if (IsBomLe(bytes) || IsBomBe(bytes))
        return 2 + 2 * std::uint64_t { start };
    // 8-bit text: a carriage return or line feed is one byte in UTF-8 and in
    // Shift-JIS alike, and never part of a longer character (nor of a byte
    // sequence that decodes to a replacement), so the text's line ends are
    // the file's line-end bytes one for one. The line starts after the same
    // number of them in the file as in the text.
    const auto endsBefore = static_cast<std::size_t>(std::count_if(text.begin(),
        text.begin() + static_cast<std::ptrdiff_t>(std::min(start, text.size())), IsLineEnd));
    std::size_t seen = 0;
    std::size_t i = 0;
    while (seen < endsBefore && i < bytes.size())
        seen += IsLineEnd(bytes[i++]) ? 1 : 0;
    return i;
}

} // namespace vellisto::import
