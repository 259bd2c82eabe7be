// SPDX-License-Identifier: MIT
#pragma once

// The text of a BMS/BME chart: a byte-order mark FF FE or FE FF selects
// UTF-16 little- or big-endian text after the mark; anything else is 8-bit
// text (UTF-8 when valid, else the Shift-JIS code page of legacy charts). The
// text ends at its first zero character. Lines end at every carriage return
// or line feed. Stateless.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vellisto::import {

std::u16string DecodeBmsText(std::span<const std::uint8_t> bytes);

// Calls visit(line, start) for every non-empty line of text, in order; start
// is the index of the line's first unit in text.
template <typename Visit> void ForEachBmsLine(std::u16string_view text, Visit&& visit)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == u'\r' || text[i] == u'\n') {
            if (i > start)
                visit(text.substr(start, i - start), start);
            start = i + 1;
        }
    }
}

// The byte offset in bytes of the line that starts at index start of text,
// where text is DecodeBmsText(bytes) and start is 0 or follows a line end.
std::uint64_t BmsLineOffset(
    std::span<const std::uint8_t> bytes, std::u16string_view text, std::size_t start);

} // namespace vellisto::import
