// SPDX-License-Identifier: MIT
#pragma once

// Fixed sizes of a project and of the data that travels with it. Every other
// unit takes its bounds from here.

#include <cstddef>
#include <cstdint>

namespace vellisto {

inline constexpr std::size_t kSoundCount = 1024; // sound IDs 0..1023
inline constexpr std::size_t kTrackCount = 64; // tracks 0..63
inline constexpr std::size_t kVoicesPerTrack = 64; // largest sound count per track
inline constexpr std::size_t kUndoSteps = 8; // snapshots kept by the undo history
inline constexpr std::size_t kNameUnits = 260; // UTF-16 units of a name, terminator included
inline constexpr std::size_t kGuardBytes = 256; // zero bytes before and after every sample block
// Time of the entry after the last event.
inline constexpr std::uint32_t kSentinelTime = 0xFFFFFFFFu;
inline constexpr std::uint32_t kMaxEditTime = 0x7FFFFFFFu; // edits keep event times at most this
inline constexpr std::uint32_t kNoLoop = 0xFFFFFFFFu; // loop point meaning "no loop"

} // namespace vellisto
