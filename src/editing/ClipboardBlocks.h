// SPDX-License-Identifier: MIT
#pragma once

// The binary blocks that carry events and sounds through the clipboard,
// written and read field by field (all words 32-bit little-endian).
//
// Events block (kind 2), 24 x n + 16 bytes:
//   offset          size    field
//   0               4       kind = 2
//   4               4       n, the number of event records
//   8               24 x n  records: flags, time, type, data1, data2, data3
//   8 + 24 x n      8       zero
//
// Sound block (kind 1), 580 bytes:
//   offset  size  field
//   0       4     kind = 1
//   4       520   fileName: 260 UTF-16 units as stored, terminator and tail included
//   524     48    the twelve setting words, volume through reserved2
//   572     8     zero
//
// Blocks come from outside: a reader accepts a block only when its kind
// matches and it holds every byte its fields need (8 + 24 x n, or 572);
// anything else is treated as a block of another kind. The trailing zero
// words are written but not required.

#include "model/Project.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vellisto::editing {

inline constexpr std::size_t kSoundBlockBytes = 580;
inline constexpr std::size_t kSoundBlockNeeded = 572; // bytes a reader needs

std::vector<std::uint8_t> WriteEventsBlock(std::span<const Event> events);

// True when block is an events block with all of its records present.
bool IsEventsBlock(std::span<const std::uint8_t> block);

// Replaces events' array with the block's records in block order; false when
// block is not a complete events block or memory runs out.
bool ReadEventsBlock(std::span<const std::uint8_t> block, Track& events);

struct SoundBlock {
    Name fileName {};
    SoundWords words {};
};

std::vector<std::uint8_t> WriteSoundBlock(const SoundSlot& slot);

// The name and settings of a complete sound block; nullopt otherwise. The
// name's last unit is forced to zero so that it always ends within its field.
std::optional<SoundBlock> ReadSoundBlock(std::span<const std::uint8_t> block);

} // namespace vellisto::editing
