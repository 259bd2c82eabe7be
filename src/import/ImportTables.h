// SPDX-License-Identifier: MIT
#pragma once

// The two lookup tables of the MIDI importer: the pitch of every note number
// and the pitch of every 14-bit pitch-bend value, both in the pitch unit
// (1 << 24 == 1.0, note 69 and the bend centre 8192 being 1.0). A bend spans
// two semitones either way. BuildImportTables runs once at start-up, before
// any thread starts; the tables are read-only afterwards and may be read from
// any thread.

#include <cstddef>
#include <cstdint>
#include <span>

namespace vellisto::import {

inline constexpr std::size_t kNotePitchEntries = 128;
inline constexpr std::size_t kBendEntries = 16384;

// Fills both tables; later calls do nothing.
void BuildImportTables();

std::span<const std::int32_t, kNotePitchEntries> NotePitchTable();
std::span<const std::int32_t, kBendEntries> BendTable();

// Lookups that cannot leave the tables: a damaged file may hand over any byte.
inline std::int32_t NotePitch(std::uint32_t note) { return NotePitchTable()[note & 0x7F]; }
inline std::int32_t BendPitch(std::uint32_t bend14) { return BendTable()[bend14 & 0x3FFF]; }

} // namespace vellisto::import
