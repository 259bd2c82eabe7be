// SPDX-License-Identifier: MIT
#pragma once

// The changes the settings view makes to a document's project settings.
// Each records its undo step first (a plain step, or a merging step for the
// one-click changes, so that a run of clicks is undone at once), changes the
// settings, and updates every view of the document. Nothing happens to a
// document without a project. User-interface thread only, never while a mix
// or preview reads the project.

#include "model/ProjectSettings.h"

#include <cstdint>
#include <string_view>

namespace vellisto {

class Ctest122Doc;
class Messages;

// Settings a click steps to their next value, each with a merging step.
enum class SettingsCycle {
    kMixingInterpolation, // (value + 1) mod 4
    kLoadingInterpolation, // (value + 1) mod 4, and the cache is cleared
    kPlayingPriority, // 0 <-> 1
    kStoppingRules, // 0 <-> 1
    kChangingStress, // 0 <-> 1
    kChangingPitch, // 0 <-> 1
};

// Settings typed as numbers, each stored with a plain step and then
// corrected by ValidateSettings.
enum class SettingsNumber {
    kBufferLength,
    kSoundCountPerTrack,
    kMasterVolume, // volume unit
    kMasterBalance, // balance unit
};

// "Default": a plain step; every setting returns to its default (the base
// path becomes empty) except the output format, kept whole. The loaded
// sounds stay: they were made for the output format, which is unchanged.
void ResetSettingsToDefault(Ctest122Doc& document, Messages& messages);

void CycleSetting(Ctest122Doc& document, Messages& messages, SettingsCycle setting);

void StoreSettingNumber(
    Ctest122Doc& document, Messages& messages, SettingsNumber setting, std::uint32_t value);

// The output format typed as rate, bits and channels, keeping the format tag
// and extra size; block align and bytes per second follow. A rate of 0 or
// from 16777216 on, bits or channels of 0, or a format whose block align or
// byte rate does not fit its field is refused (false) with nothing recorded
// or changed. Otherwise a plain step and the document's ChangeOutputFormat,
// which rescales every time and releases every loaded sound.
bool ChangeOutputFormatTo(Ctest122Doc& document, Messages& messages, std::uint32_t rate,
    std::uint32_t bits, std::uint32_t channels);

// The base path typed into the "Input" dialog: a merging step, the text
// stored (cut to 259 units), the cache cleared so that sounds are looked up
// again.
void SetBasePathText(Ctest122Doc& document, Messages& messages, std::u16string_view text);

// The base path chosen as a folder (a native path): a plain step, the path
// stored (cut to 259 units), the cache cleared, the settings validated.
void SetBasePathFolder(Ctest122Doc& document, Messages& messages, std::string_view nativeFolder);

} // namespace vellisto
