// SPDX-License-Identifier: MIT
#pragma once

// A read position over a byte buffer taken from outside (a file, the
// clipboard). Every read checks the bounds first: a read that does not fit
// returns nullopt and leaves the position where it was, so the offset of the
// failure is still at hand. Little- and big-endian integers are assembled
// byte by byte, never by copying a struct. Used by one thread at a time.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace vellisto::platform {

class ByteCursor {
public:
    explicit ByteCursor(std::span<const std::uint8_t> bytes)
        : m_bytes(bytes)
    {
    }

    std::size_t offset() const { return m_offset; }
    std::size_t remaining() const { return m_bytes.size() - m_offset; }
    bool atEnd() const { return m_offset == m_bytes.size(); }

    std::optional<std::uint8_t> readU8()
    {
        if (remaining() < 1)
            return std::nullopt;
        return m_bytes[m_offset++];
    }

    std::optional<std::uint16_t> readU16le()
    {
        if (remaining() < 2)
            return std::nullopt;
        const auto value
            = static_cast<std::uint16_t>(m_bytes[m_offset] | m_bytes[m_offset + 1] << 8);
        m_offset += 2;
        return value;
    }

    std::optional<std::uint16_t> readU16be()
    {
        if (remaining() < 2)
            return std::nullopt;
        const auto value
            = static_cast<std::uint16_t>(m_bytes[m_offset] << 8 | m_bytes[m_offset + 1]);
        m_offset += 2;
        return value;
    }

    std::optional<std::uint32_t> readU32le()
    {
        if (remaining() < 4)
            return std::nullopt;
        const std::uint8_t* p = m_bytes.data() + m_offset;
        m_offset += 4;
        return std::uint32_t { p[0] } | std::uint32_t { p[1] } << 8 | std::uint32_t { p[2] } << 16
            | std::uint32_t { p[3] } << 24;
    }

    std::optional<std::uint32_t> readU32be()
    {
        if (remaining() < 4)
            return std::nullopt;
        const std::uint8_t* p = m_bytes.data() + m_offset;
        m_offset += 4;
        return std::uint32_t { p[0] } << 24 | std::uint32_t { p[1] } << 16
            | std::uint32_t { p[2] } << 8 | std::uint32_t { p[3] };
    }

    // The next n bytes as a view into the buffer.
    std::optional<std::span<const std::uint8_t>> take(std::uint64_t n)
    {
        if (n > remaining())
            return std::nullopt;
        const auto part = m_bytes.subspan(m_offset, static_cast<std::size_t>(n));
        m_offset += static_cast<std::size_t>(n);
        return part;
    }

    bool skip(std::uint64_t n) { return take(n).has_value(); }

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_offset = 0;
};

} // namespace vellisto::platform
