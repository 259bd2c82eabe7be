// SPDX-License-Identifier: MIT
#pragma once

// Inside the engine: the loops that render one track for one block, chosen
// once per block. The reference loops (Render.cpp) render frame by frame as
// the arithmetic is stated; the fast loops (FastRender.cpp) give the same
// bits faster. Both add the track into the accumulator they are given, so a
// block's tracks may be rendered on several threads, each into an
// accumulator of its own, and the accumulators added afterwards: all sums
// wrap at 32 bits, so the order of the additions does not matter.

#include "audio/Acceleration.h"
#include "engine/RenderPool.h"
#include "engine/detail/Kernels.h"
#include "engine/detail/VoiceMath.h"
#include "model/Project.h"

#include <cstddef>
#include <cstdint>

namespace vellisto::engine {

// TrackRenderer, the type of these loops, is declared with the pool that runs them.

TrackRenderer ReferenceTrackRenderer(Kernel kernel, int channels);

// The fast loop; the reference one where the fast one cannot run (the sinc
// weight tables could not be built, or the processor lacks isa).
TrackRenderer FastTrackRenderer(Kernel kernel, int channels, audio::VectorIsa isa);

// Renders track t of the prepared mix for the block that ends at the mix
// position, if the track is active, into acc.
inline void RenderTrackOfBlock(const Project& project, MixState& state, std::size_t t,
    TrackRenderer render, std::int32_t* acc, std::uint32_t frames)
{
    TrackMixState& track = state.tracks[t];
    if (track.active == 0)
        return;
    render(project, state, project.tracks[t], track, acc, frames);
    track.position = state.position;
}

// Adds one frame of a track's voice sums to the accumulator. Every division
// truncates toward zero (x / 1024, not x >> 10); the balance law is linear,
// 512 being unity on both sides.
template <int Channels>
inline void AddTrackFrame(const TrackMixState& track, const std::uint32_t* sum, std::int32_t* acc)
{
    const auto scaled = [](std::uint32_t s) { return static_cast<std::int32_t>(s) / 1024; };
    if constexpr (Channels == 1) {
        acc[0] = AddWrap(acc[0], MulWrap(scaled(sum[0]), track.volume));
    } else {
        // multiply, divide by 512, then multiply by the volume: do not fold
        const std::int32_t left = MulWrap(scaled(sum[0]), kBalanceMax - track.balance) / 512;
        const std::int32_t right = MulWrap(scaled(sum[1]), track.balance) / 512;
        acc[0] = AddWrap(acc[0], MulWrap(left, track.volume));
        acc[1] = AddWrap(acc[1], MulWrap(right, track.volume));
    }
}

} // namespace vellisto::engine
