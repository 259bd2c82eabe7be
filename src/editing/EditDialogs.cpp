// SPDX-License-Identifier: MIT
#include "editing/EditDialogs.h"

namespace vellisto {

std::optional<std::uint32_t> ReadRangeField(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    std::size_t pos = 0;
    while (pos < text.size() && blank(text[pos]))
        ++pos;
    if (pos < text.size() && text[pos] == '+')
        ++pos;
    const std::size_t digitsFrom = pos;
    std::uint64_t value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + static_cast<std::uint64_t>(text[pos] - '0');
        if (value > 0xFFFFFFFFu)
            return std::nullopt; // too large for the field: refused, not wrapped
        ++pos;
    }
    if (pos == digitsFrom)
        return std::nullopt;
    while (pos < text.size() && blank(text[pos]))
        ++pos;
    if (pos != text.size())
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

} // namespace vellisto
