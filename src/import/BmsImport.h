// SPDX-License-Identifier: MIT
#pragma once

// Importing a BMS/BME chart into a project whose output format the
// "Compatibility and Format" choice has set. Every #WAVxx line fills sound xx;
// the notes of the background channel (01) and of the player's key channels
// (10-19) become Play events, timed from the measure, the position within the
// measure, the tempo and the measure length. Background lines of a measure go
// to tracks 10, 11, ... in turn, key channel 1d to track d. Every track that
// receives notes ends with an All Stop two measures after the last measure
// reached. Malformed lines are never errors: they are ignored. On failure the
// project may be partly filled and is to be discarded. No messages: callers
// report "Failed in loading a BM98 file.". One import per project at a time.

#include "model/Project.h"
#include "platform/ReadError.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vellisto::import {

// Imports the bytes of a whole chart. The base path becomes the folder of
// chartPath (everything before its last '/' or '\'); a chartPath without a
// separator is taken whole, an empty one leaves the base path empty. Only
// memory can run out: a given reason then carries the byte offset of the
// line whose events could not be stored, or no offset when the failure
// belongs to no line.
bool ImportBmsFile(Project& project, std::span<const std::uint8_t> chart,
    std::u16string_view chartPath, platform::ReadError* reason = nullptr);

// Imports the chart at a native (UTF-8) path, whose absolute folder becomes
// the base path.
bool ImportBmsFile(
    Project& project, const std::string& nativePath, platform::ReadError* reason = nullptr);

} // namespace vellisto::import
