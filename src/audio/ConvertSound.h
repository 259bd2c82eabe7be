// SPDX-License-Identifier: MIT
#pragma once

// Bringing a sound, as read from its WAVE file (PCM, 8 or 16 bits, 1 or 2
// channels, any rate), to the output format in one pass: rate change with the
// loading interpolation, channel mapping and widening to 16 bits. Integer
// arithmetic only, bit-exact. A call works on one slot that its caller owns;
// the sinc tables must have been built (BuildSincTables) before the first call.

#include "audio/Acceleration.h"
#include "model/Project.h"

#include <cstdint>
#include <optional>

namespace vellisto::audio {

// The four channel pairs that can be converted (input -> output).
enum class ChannelMap { kMonoToMono, kStereoToStereo, kMonoToStereo, kStereoToMono };

// Everything a conversion needs, worked out once before the per-frame loop.
struct ConversionPlan {
    Interpolation interpolation = Interpolation::kNone;
    std::uint16_t inputBits = 16; // 8 or 16
    ChannelMap channelMap = ChannelMap::kMonoToMono;
    std::uint32_t stepFx24 = 0; // input frames per output frame, 24-bit fraction
    std::uint32_t inputFrames = 0;
    std::uint32_t outputFrames = 0;
    std::uint32_t outputBytes = 0; // outputFrames x output channels x 2
};

// Checks that the conversion is possible and plans it; nullopt when refused:
// output bits other than 16, input bits other than 8 and 16, a channel pair
// other than the four above, an interpolation above 3, an input or output rate
// of 0, an input rate of 256 or more times the output rate, a block align of 0
// or smaller than one frame of samples, or an output too large for a sample block.
std::optional<ConversionPlan> PlanConversion(const OutputFormat& input, std::uint32_t inputBytes,
    const OutputFormat& output, std::uint32_t loadingInterpolation);

// One converting loop: writes output frames first .. first + frames - 1
// (16-bit little-endian) to their places in output, reading input with the
// given step (output frame n reads from input frame n x step / 2^24). The
// input must be a sample block with its guard zones, and output must have
// room for the frames.
using ConvertFunction = void (*)(const std::uint8_t* input, std::uint8_t* output,
    std::uint32_t first, std::uint32_t frames, std::uint32_t stepFx24);

// The reference loop for the plan's combination of interpolation, input width
// and channels.
ConvertFunction SelectConverter(const ConversionPlan& plan);

// The loop a conversion runs: the fast one for the given instruction set
// where the interpolation has one (the two sinc kernels), else the reference.
// The fast loops need the sinc weight tables; when those cannot be built the
// reference loop is returned.
ConvertFunction SelectConverter(const ConversionPlan& plan, KernelPath path, VectorIsa isa);

// How RunConversion computes; the process-wide choices unless told otherwise.
struct ConversionRun {
    KernelPath path = CurrentKernelPath();
    VectorIsa isa = CurrentVectorIsa();
    std::uint32_t threads = WorkerThreads(); // a long conversion is cut into up to this many pieces
    std::uint32_t minFramesPerThread = 1u << 16; // output frames below which a piece is not cut off
};

// Runs the plan's loop over all its output frames. The result is the same
// bytes for every choice of path, instruction set and threads.
void RunConversion(const ConversionPlan& plan, const std::uint8_t* input, std::uint8_t* output,
    const ConversionRun& run = {});

// Replaces the sound's samples, sampleBytes and dataFormat (all 18 bytes) with
// the converted ones. False leaves the sound unchanged: refused conversion (see
// PlanConversion) or failed allocation. An empty sound converts to an empty one.
bool ConvertSound(SoundSlot& sound, const OutputFormat& output, std::uint32_t loadingInterpolation);

} // namespace vellisto::audio
