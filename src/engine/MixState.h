// SPDX-License-Identifier: MIT
#pragma once

// The engine's run-time state of one mix: a copy of the settings taken when
// the mix is prepared, the mix position, one state per track with its voices,
// and the accumulator of one render block. Whoever drives a mix (the mixing
// worker, the preview's feeder) holds the state beside the project it mixes;
// the engine reads the project's records and advances only this state. The
// state is a plain value: a copy taken between two renders continues
// identically with the same project (voices point into the project's sample
// blocks, which must stay loaded and unchanged while the mix lasts).
//
// Threads: every field is owned by the thread that drives the mix, which
// alone reads or writes it from PrepareMix until the mix is over; a render
// pool's threads touch their tracks' states only inside one RenderMix call.
// No other thread may read it while a mix runs; the progress a display shows
// travels through the driver's own atomics.

#include "model/Limits.h"
#include "model/ProjectSettings.h"

#include <array>
#include <cstdint>
#include <vector>

namespace vellisto {

// Envelope phases. The level of a voice in a frame, with g its gain, c the
// counter before the frame and A, S, R its three lengths:
enum class EnvelopeState : std::uint32_t {
    kFull = 0, // g; never entered by the engine
    kAttack = 1, // g * c / A, rising from silence; then Sustain (S != 0) or Hold
    kSustain = 2, // g - c * g / S, falling to silence; the voice ends after S frames
    kHold = 3, // g, until a Stop
    kRelease = 4, // g - c * g / R, falling to silence; the voice ends after R frames
    kFrozen = 5, // (frozenLevel * g) >> 16, fixed
};

// One sounding note on a track. Positions, loop points and lengths are frames
// of the sound at the output rate.
struct Voice {
    std::uint32_t active = 0; // 0 or 1
    std::uint32_t held
        = 0; // 1 until a Stop takes effect; a released voice sounds on but no Stop matches it
    std::uint32_t soundId = 0; // below the sound count whenever active
    std::uint32_t noteVolume = 0; // volume unit, from the Play
    std::uint32_t notePitch = 0; // pitch unit, from the Play
    std::uint32_t sampleIndex = 0; // frame index into the samples
    std::uint32_t fraction = 0; // 0..0xFFFFFF, 1/2^24 frame
    std::uint32_t gain = 0; // volume unit: sound volume x note volume x track stress
    std::uint32_t step = 0; // 8.24 frames per output frame: sound x note x track pitch
    std::uint32_t loopBegin = 0; // kNoLoop when the voice does not loop
    std::uint32_t end
        = 0; // the voice wraps here when looping, else ends; 0 ends it at the next check
    EnvelopeState envelopeState = EnvelopeState::kFull;
    std::uint32_t envelopeCounter = 0; // frames spent in the current phase
    std::uint32_t frozenLevel = 0; // 16.16 fraction of the gain, used by kFrozen
    std::uint32_t attackLength = 0;
    std::uint32_t sustainLength = 0;
    std::uint32_t releaseLength = 0;
    const std::uint8_t* samples = nullptr; // 16-bit samples in the output channel layout

    bool operator==(const Voice&) const = default;
};

// The engine's view of one track.
struct TrackMixState {
    std::uint32_t active = 0; // 0: skipped entirely while rendering
    std::uint32_t position = 0; // frames of this track rendered or skipped
    std::uint32_t volume = 0; // volume unit (Volume events)
    std::uint32_t balance = 0; // balance unit (Balance events)
    std::uint32_t stress = 0; // volume unit (Stress events)
    std::uint32_t pitch = 0; // pitch unit (Pitch events)
    std::uint32_t slotCount = 0; // voices are looked at in slots 0..slotCount-1
    std::uint32_t activeVoices = 0; // slots whose voice is active
    std::uint32_t eventCursor = 0; // index of the next event of the track's list not yet applied
    std::array<Voice, kVoicesPerTrack> voices {};
};

struct MixState {
    ProjectSettings settings; // copy taken by PrepareMix; fixed for the mix
    std::uint32_t position = 0; // frames rendered or skipped since the start of the project
    std::array<TrackMixState, kTrackCount> tracks {};
    std::vector<std::int32_t> accumulator; // one block: bufferLength x channels words
};

// True when the two states would render the same from here on: every field is
// compared except the contents of inactive voices and of the accumulator,
// which are scratch.
bool SameMixState(const MixState& a, const MixState& b);

} // namespace vellisto
