// SPDX-License-Identifier: MIT
#pragma once

// Importing a Standard MIDI File into a project whose settings and conversion
// mode the "Compatibility and Format" choice has set. The sixteen channels
// become tracks 0-15; every understood channel message becomes one event at
// its time in output frames (the project's output rate is the time base).
// Sounds, settings and tracks 16-63 are left alone. On failure the tracks may
// be partly filled and the project is to be discarded. No messages: callers
// report "Failed in loading a MIDI file.". One import per project at a time.

#include "import/MidiReader.h"
#include "model/Project.h"
#include "platform/ReadError.h"

#include <cstdint>
#include <span>
#include <string>

namespace vellisto::import {

// Imports the bytes of a whole file.
bool ImportMidiFile(
    Project& project, std::span<const std::uint8_t> file, platform::ReadError* reason = nullptr);

// Imports the file at a native (UTF-8) path.
bool ImportMidiFile(
    Project& project, const std::string& nativePath, platform::ReadError* reason = nullptr);

} // namespace vellisto::import
