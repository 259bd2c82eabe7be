// SPDX-License-Identifier: MIT
#pragma once

// What the preview dialog shows: the position slider's arithmetic and the
// three lines of status text of the two modes. Pure functions, used on the
// dialog's thread.

#include <cstdint>
#include <string>

namespace vellisto::preview {

enum class PreviewKind { kProject, kSound };

// The slider runs 0..kSliderMax over the length of the material.
inline constexpr std::uint32_t kSliderMax = 0x7FFF;

// position x kSliderMax / length (64-bit product, unsigned division) while
// position < length, else kSliderMax (also for an empty length).
std::uint32_t SliderFromPosition(std::uint32_t position, std::uint32_t length);

// length x slider / kSliderMax (64-bit product, unsigned division): frames
// are quantised to steps of about length / 32767. A slider above kSliderMax
// counts as kSliderMax.
std::uint32_t PositionFromSlider(std::uint32_t slider, std::uint32_t length);

struct PreviewStatusValues {
    PreviewKind kind = PreviewKind::kProject;
    std::uint32_t positionFrames = 0; // shown as at most lengthFrames
    std::uint32_t lengthFrames = 0;
    std::uint32_t samplesPerSecond = 0; // of the project's output format, in both modes
    // Project mode:
    std::uint32_t activeTracks = 0;
    std::uint32_t polyphony = 0;
    // Sound mode: the sound's loop points as stored (kNoLoop included).
    std::uint32_t loopBegin = 0;
    std::uint32_t loopEnd = 0;
};

// "Time mm:ss.mmm / mm:ss.mmm" over the position (at most the length) and
// the length, then "Active track" and "Polyphony" (project mode) or
// "Position" and "Loop" (sound mode); lines end with '\n' between them. A
// rate of 0 shows every time as 00:00.000.
std::string FormatPreviewStatus(const PreviewStatusValues& values);

} // namespace vellisto::preview
