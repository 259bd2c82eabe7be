// SPDX-License-Identifier: MIT
#pragma once

// What the commands that load one sound for an output format share: the
// options --rate, --channels and --interp, and the loading itself (read the
// WAVE file, then convert it when its format differs from the output format,
// as the mix preparation does).

#include "cli/Args.h"
#include "model/Project.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vellisto::cli {

struct SoundOptions {
    OutputFormat format = kDefaultOutputFormat; // 16-bit PCM, 44100 Hz, 2 channels by default
    std::uint32_t loadingInterpolation = 3; // "Use sinc" by default
};

// The shared options as given; nullopt with `error` set for a bad value.
std::optional<SoundOptions> ReadSoundOptions(const ParsedArgs& parsed, std::string& error);

// A whole unsigned 32-bit decimal number, nothing before or after it.
std::optional<std::uint32_t> ParseU32(std::string_view text);

// Reads the file into the empty slot and brings it to the options' format.
// On failure prints the system's message and the reason on standard error.
bool LoadSoundFor(const std::string& path, const SoundOptions& options, SoundSlot& sound);

} // namespace vellisto::cli
