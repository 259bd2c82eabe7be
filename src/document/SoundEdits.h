// SPDX-License-Identifier: MIT
#pragma once

// The changes the sound settings view makes to one sound slot of a
// document's project. Each records its undo step first (plain, or merging
// for the two modes a click steps through), changes the slot, and updates
// every view of the document. A sound ID of 1024 or more, or a document
// without a project, changes nothing. User-interface thread only, never
// while a mix or preview reads the project.

#include <cstdint>
#include <string_view>

namespace vellisto {

class Ctest122Doc;
class Messages;

// The sound's numbers typed into the "Input" dialog.
enum class SoundNumber {
    kLoopBegin, // frames, 0xFFFFFFFF: no loop
    kLoopEnd,
    kVolume, // volume unit
    kPitch, // pitch unit
    kLinkedId,
    kAttackTime, // frames
    kSustainTime,
    kReleaseTime,
};

// The modes a click steps through, (value + 1) mod 4, with a merging step.
enum class SoundCycle { kStopEventMode, kLinkingMode };

// "Load": the chosen file becomes the sound's file (its name cut to 259
// units), without a loop, at volume 1.0 and pitch 1.0; its other settings
// stay. The samples held for the old file are released.
void AssignSoundFile(
    Ctest122Doc& document, Messages& messages, std::uint32_t soundId, std::u16string_view name);

// "Clear": releases the samples and empties the file name; the settings stay.
void ClearSoundFile(Ctest122Doc& document, Messages& messages, std::uint32_t soundId);

// A file name typed in: released samples, the text stored as it is (cut to
// 259 units), no check that the file exists.
void RenameSoundFile(
    Ctest122Doc& document, Messages& messages, std::uint32_t soundId, std::u16string_view name);

void StoreSoundNumber(Ctest122Doc& document, Messages& messages, std::uint32_t soundId,
    SoundNumber number, std::uint32_t value);

void CycleSoundMode(
    Ctest122Doc& document, Messages& messages, std::uint32_t soundId, SoundCycle mode);

// The pitch word whose base frequency (440 x 2^24 / pitch) is hertz:
// trunc(7381975040 / hertz), low 32 bits. Only for hertz above 0 whose
// quotient fits 64 bits; other values give nothing.
bool PitchForBaseFrequency(double hertz, std::uint32_t& pitch);

// A base frequency typed in: the pitch set from it with a plain step; false,
// with nothing recorded, when PitchForBaseFrequency gives nothing.
bool SetBaseFrequency(
    Ctest122Doc& document, Messages& messages, std::uint32_t soundId, double hertz);

// "Determine Base Frequency": prepares the sound ("Failed in loading a WAVE
// file." when that fails), measures it over its loop points ("Failed in
// determining base frequency." when no frequency is found) and stores the
// pitch found with a plain step. True when the pitch was set.
bool MeasureBaseFrequency(Ctest122Doc& document, Messages& messages, std::uint32_t soundId);

} // namespace vellisto
