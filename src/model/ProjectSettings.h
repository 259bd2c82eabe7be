// SPDX-License-Identifier: MIT
#pragma once

// The project settings and the PCM output format record. Kept apart from the
// rest of the project records so that the engine's run-time state, which holds
// a copy of the settings, can be declared before the Project that holds it.

#include "model/Limits.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace vellisto {

// A UTF-16 name of 260 units including the terminating zero.
using Name = std::array<char16_t, kNameUnits>;

// The 18-byte PCM format record: a WAVE "fmt " body followed by an extra-size
// word. Packed so that it matches the stored layout; copy its fields by value.
#pragma pack(push, 2)
struct OutputFormat {
    std::uint16_t formatTag;
    std::uint16_t channels;
    std::uint32_t samplesPerSecond;
    std::uint32_t averageBytesPerSecond;
    std::uint16_t blockAlign;
    std::uint16_t bitsPerSample;
    std::uint16_t extraSize;
};
#pragma pack(pop)
static_assert(sizeof(OutputFormat) == 18);

inline constexpr OutputFormat kDefaultOutputFormat { 1, 2, 44100, 176400, 4, 16, 0 };

// Writes the format key (the 16 bytes of a WAVE "fmt " body) field by field
// through any sink with appendU16le and appendU32le.
template <class Sink> void AppendFormatKey(Sink& sink, const OutputFormat& format)
{
    sink.appendU16le(format.formatTag);
    sink.appendU16le(format.channels);
    sink.appendU32le(format.samplesPerSecond);
    sink.appendU32le(format.averageBytesPerSecond);
    sink.appendU16le(format.blockAlign);
    sink.appendU16le(format.bitsPerSample);
}
inline constexpr std::uint16_t kFormatPcm = 1;
inline constexpr std::uint32_t kMaxSampleRate = 0x1000000; // rates are below this

// The first 16 bytes (everything but extraSize) decide whether converted
// samples still fit the output format.
bool SameFormatKey(const OutputFormat& a, const OutputFormat& b);

// Sets blockAlign and averageBytesPerSecond from channels, bits and rate.
void CompleteOutputFormat(OutputFormat& format);

enum class Interpolation : std::uint32_t { kNone = 0, kLinear = 1, kSincLow = 2, kSinc = 3 };

// Project settings, 592 bytes in the order and layout of the project file.
struct ProjectSettings {
    std::uint32_t bufferLength = 4096; // frames per mix block, 1024..65536, multiple of 1024
    std::uint32_t mixingInterpolation = 1; // Interpolation
    std::uint32_t loadingInterpolation = 3; // Interpolation
    std::uint32_t soundCountPerTrack = 16; // voices per track, at most 64
    std::uint32_t playingPriority = 1; // nonzero "Play newer", 0 "Play older"
    std::uint32_t stoppingRules = 1; // nonzero "By ID and by pitch", 0 "By ID"
    std::uint32_t changingStress = 1; // nonzero: Stress events take effect
    std::uint32_t changingPitch = 1; // nonzero: Pitch events take effect
    std::uint32_t positionWord = 0; // starting mix position, stored as is
    std::uint32_t masterVolume = 1024; // volume unit, at most 262144
    std::uint32_t masterBalance = 512; // balance unit, 0..1024
    std::array<std::uint8_t, 8> reserved {}; // carried through files as held
    OutputFormat outputFormat = kDefaultOutputFormat;
    Name basePath {}; // empty: the project file's folder
    std::array<std::uint8_t, 2> padding {}; // carried through files as held
};
static_assert(sizeof(ProjectSettings) == 592);
static_assert(offsetof(ProjectSettings, reserved) == 44);
static_assert(offsetof(ProjectSettings, outputFormat) == 52);
static_assert(offsetof(ProjectSettings, basePath) == 70);
static_assert(offsetof(ProjectSettings, padding) == 590);

// Corrects the settings the settings view lets the user type; true when
// anything changed.
bool ValidateSettings(ProjectSettings& settings);

} // namespace vellisto
