// SPDX-License-Identifier: MIT
#pragma once

// Builds a byte buffer field by field in a fixed byte order, the writing
// counterpart of ByteCursor. Used by one thread at a time.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vellisto::platform {

class ByteWriter {
public:
    void reserve(std::size_t bytes) { m_bytes.reserve(bytes); }

    void appendU8(std::uint8_t value) { m_bytes.push_back(value); }

    void appendU16le(std::uint16_t value)
    {
        m_bytes.push_back(static_cast<std::uint8_t>(value));
        m_bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    }

    void appendU32le(std::uint32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8)
            m_bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    }

    void appendU32be(std::uint32_t value)
    {
        for (int shift = 24; shift >= 0; shift -= 8)
            m_bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    }

    void appendBytes(std::span<const std::uint8_t> bytes)
    {
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    }

    std::size_t size() const { return m_bytes.size(); }
    void clear() { m_bytes.clear(); }
    const std::vector<std::uint8_t>& bytes() const& { return m_bytes; }
    std::vector<std::uint8_t> bytes() && { return std::move(m_bytes); }

private:
    std::vector<std::uint8_t> m_bytes;
};

} // namespace vellisto::platform
