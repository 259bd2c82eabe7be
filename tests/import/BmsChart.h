// SPDX-License-Identifier: MIT
#pragma once

// Builds chart text in memory, line by line, and encodes it as 8-bit text or
// as UTF-16 with either byte-order mark.

#include "platform/TextCodec.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vellisto::import::testing {

class BmsChart {
public:
    // Appends one line (UTF-8) ended by CR LF.
    BmsChart& line(const std::string& text)
    {
        m_text += text + "\r\n";
        return *this;
    }
    // Appends text exactly as given, line ends included.
    BmsChart& raw(const std::string& text)
    {
        m_text += text;
        return *this;
    }

    std::vector<std::uint8_t> bytes() const { return { m_text.begin(), m_text.end() }; }

    std::vector<std::uint8_t> utf16(bool bigEndian) const
    {
        std::vector<std::uint8_t> out = bigEndian ? std::vector<std::uint8_t> { 0xFE, 0xFF }
                                                  : std::vector<std::uint8_t> { 0xFF, 0xFE };
        for (const char16_t unit : platform::Utf8ToUtf16(m_text)) {
            const auto high = static_cast<std::uint8_t>(unit >> 8);
            const auto low = static_cast<std::uint8_t>(unit);
            out.push_back(bigEndian ? high : low);
            out.push_back(bigEndian ? low : high);
        }
        return out;
    }

private:
    std::string m_text;
};

} // namespace vellisto::import::testing
