// SPDX-License-Identifier: MIT
#pragma once

// The envelope of a voice, stated once for every loop that moves voices: the
// reference loops frame by frame, the fast loops a piece at a time and the
// seek a stretch at a time.
//
// A timed phase (attack, sustain, release) lasts its length in frames; the
// counter counts the frames spent in it. In the frame in which the counter
// reaches the length, an attack goes on to sustain (or to hold when there is
// no sustain) with the counter back at 0, and a sustain or release ends the
// voice at that frame's end check. The other phases keep their level and
// their counter until an event changes them.

#include "engine/MixState.h"

#include <cstdint>
#include <limits>
#include <optional>

namespace vellisto::engine {

// The frames left in a phase that lasts until an event changes it.
inline constexpr std::uint64_t kUntimedPhase = std::numeric_limits<std::uint64_t>::max();

// Calls f(level), where level(c) is the voice's level (volume unit) in a frame
// of its current phase that starts with the envelope counter at c. The
// products g x c and frozenLevel x g are 32-bit and wrap; the divisions are
// unsigned. Each phase has a level of its own type, so a loop over the frames
// of a piece inside f has no choice left in it.
template <class F> inline decltype(auto) WithPhaseLevel(const Voice& v, F&& f)
{
    const std::uint32_t g = v.gain;
    switch (v.envelopeState) {
    case EnvelopeState::kAttack:
        return f([g, a = v.attackLength](std::uint32_t c) { return g * c / a; });
    case EnvelopeState::kSustain:
        return f([g, s = v.sustainLength](std::uint32_t c) { return g - c * g / s; });
    case EnvelopeState::kRelease:
        return f([g, r = v.releaseLength](std::uint32_t c) { return g - c * g / r; });
    case EnvelopeState::kFrozen:
        return f([level = (v.frozenLevel * g) >> 16](std::uint32_t) { return level; });
    case EnvelopeState::kFull:
    case EnvelopeState::kHold:
        break;
    }
    // Full and hold, and any other state, are at full level.
    return f([g](std::uint32_t) { return g; });
}

// The voice's level in a frame of its current phase that starts with the counter at c.
inline std::uint32_t PhaseLevel(const Voice& v, std::uint32_t c)
{
    return WithPhaseLevel(v, [c](auto level) { return level(c); });
}

// The length of the voice's phase when it is timed (attack, sustain,
// release); none for a phase that lasts until an event changes it.
inline std::optional<std::uint32_t> TimedPhaseLength(const Voice& v)
{
    switch (v.envelopeState) {
    case EnvelopeState::kAttack:
        return v.attackLength;
    case EnvelopeState::kSustain:
        return v.sustainLength;
    case EnvelopeState::kRelease:
        return v.releaseLength;
    case EnvelopeState::kFull:
    case EnvelopeState::kHold:
    case EnvelopeState::kFrozen:
        break;
    }
    return std::nullopt;
}

// The frames up to and including the one in which the voice's envelope
// changes phase or ends the voice; kUntimedPhase when it never does by itself.
// A counter already at or past its length changes in the next frame.
inline std::uint64_t FramesLeftInPhase(const Voice& v)
{
    const std::optional<std::uint32_t> length = TimedPhaseLength(v);
    if (!length)
        return kUntimedPhase;
    const std::uint32_t c = v.envelopeCounter;
    return c < *length ? *length - c : 1;
}

// Moves the envelope on by `frames` frames of its current phase, at most
// FramesLeftInPhase: the counter of a timed phase moves (32-bit, wrapping),
// and when it reaches the length the phase changes as stated above (the
// voice's end set to 0 ends it at the end check of the last frame).
inline void AdvanceEnvelope(Voice& v, std::uint32_t frames)
{
    const std::optional<std::uint32_t> length = TimedPhaseLength(v);
    if (!length)
        return;
    std::uint32_t& c = v.envelopeCounter;
    c += frames;
    if (c < *length)
        return;
    if (v.envelopeState == EnvelopeState::kAttack) {
        v.envelopeState = v.sustainLength != 0 ? EnvelopeState::kSustain : EnvelopeState::kHold;
        c = 0;
    } else {
        v.end = 0;
    }
}

// The level of a voice in this frame (volume unit); moves its envelope on by the frame.
inline std::uint32_t EnvelopeLevel(Voice& v)
{
    const std::uint32_t level = PhaseLevel(v, v.envelopeCounter);
    AdvanceEnvelope(v, 1);
    return level;
}

} // namespace vellisto::engine
