// SPDX-License-Identifier: MIT
#pragma once

// The "Compatibility and Format" choice made before a new project or an
// imported score: which conversion compatibility, and the output format typed
// as text. Used by the document commands and by the command line.

#include "model/Project.h"

#include <cstdint>
#include <string>

namespace vellisto {

enum class Compatibility : std::uint32_t {
    kNormal = 0, // "Current Version (Normal Mode)"
    kDrum = 1, // "Current Version (Drum Mode)"
    kAuto = 2, // "Current Version (Auto Mode)"
    kAutoTrack = 3, // "Current Version (Auto Track Mode)"
    kVer13 = 4, // "Ver 1.3 or Earlier"
    kVer12 = 5, // "Ver 1.2 or Earlier"
};

struct CompatibilityChoice {
    Compatibility compatibility = Compatibility::kNormal;
    std::string rateText = "44100";
    std::string bitsText = "16";
    std::string channelsText = "2";
};

// The choice the dialog opens with for the default output format.
CompatibilityChoice DefaultCompatibilityChoice();

// Resets the settings to their defaults and applies the choice: conversion
// mode, the older versions' switches and the output format. Texts are read as
// C integers (decimal, 0x hexadecimal, leading-0 octal); a text that is not a
// number keeps the default value, and a rate outside 1..16777215 keeps 44100.
void ApplyCompatibilityChoice(Project& project, const CompatibilityChoice& choice);

} // namespace vellisto
