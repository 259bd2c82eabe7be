// SPDX-License-Identifier: MIT
#pragma once

// The clipboard as the edit commands see it: one binary block of the
// program's own at a time, tagged by its first 32-bit word (the block kind).
// The desktop front end carries the bytes unchanged under kClipboardFormat;
// tests use an in-memory fake. Used on the user-interface thread only.
//
// What arrives from the clipboard may have been placed there by any program:
// readers check the kind and the length before trusting a byte of it.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vellisto {

// The clipboard format that carries the blocks, byte for byte.
inline constexpr std::string_view kClipboardFormat = "application/x-vellisto-block";

// The first word of every block.
enum class ClipboardBlockKind : std::uint32_t {
    kSound = 1, // one sound slot's name and settings
    kEvents = 2, // a run of event records
};

class Clipboard {
public:
    virtual ~Clipboard() = default;

    // Replaces the clipboard's content with block; false when the clipboard
    // cannot be opened or written (its content is then unspecified but holds
    // no partial block).
    virtual bool setBlock(std::vector<std::uint8_t> block) = 0;

    // The bytes held under kClipboardFormat; nullopt when the clipboard is
    // unavailable or holds none.
    virtual std::optional<std::vector<std::uint8_t>> block() = 0;
};

} // namespace vellisto
