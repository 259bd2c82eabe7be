// SPDX-License-Identifier: MIT
#pragma once

// Fixed-point helpers shared by event processing, rendering and seeking. All
// 32-bit products and sums here wrap modulo 2^32 on purpose: they are formed
// in unsigned arithmetic so that every input, however large, has one defined
// result. Divisions of signed values truncate toward zero.

#include "engine/MixState.h"
#include "engine/Mixer.h"
#include "engine/detail/Envelope.h"
#include "model/FixedPoint.h"
#include "model/Project.h"

#include <cstdint>

namespace vellisto::engine {

inline constexpr std::uint32_t kFractionMask = 0xFFFFFF; // 24-bit position fraction
inline constexpr std::uint32_t kLastMixPosition = 0xFFFFFFFE; // the sentinel time is never reached

// a * b and a + b modulo 2^32, read back as signed.
inline std::int32_t MulWrap(std::int32_t a, std::uint32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * b);
}
inline std::int32_t AddWrap(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

// ((a * b) >> shift) * c >> shift, both products 64-bit, each result kept as its low 32 bits.
inline std::uint32_t ScaleTwice(std::uint32_t a, std::uint32_t b, std::uint32_t c, int shift)
{
    const auto first = static_cast<std::uint32_t>((std::uint64_t { a } * b) >> shift);
    return static_cast<std::uint32_t>((std::uint64_t { first } * c) >> shift);
}

// Gain in the volume unit: sound volume x note volume x track stress.
inline std::uint32_t VoiceGain(
    std::uint32_t soundVolume, std::uint32_t noteVolume, std::uint32_t stress)
{
    return ScaleTwice(soundVolume, noteVolume, stress, 10);
}

// Step in 8.24: sound pitch x note pitch x track pitch.
inline std::uint32_t VoiceStep(
    std::uint32_t soundPitch, std::uint32_t notePitch, std::uint32_t trackPitch)
{
    return ScaleTwice(soundPitch, notePitch, trackPitch, 24);
}

// Length of a sound in frames of 16-bit samples in its channel layout (the
// block align word is not trusted: a stored format may disagree with it).
inline std::uint32_t SoundFrames(const SoundSlot& sound)
{
    const std::uint32_t frameBytes = sound.dataFormat.channels * 2u;
    return frameBytes == 0 ? 0 : sound.sampleBytes / frameBytes;
}

inline void EndVoice(TrackMixState& track, Voice& voice)
{
    voice.active = 0;
    track.activeVoices -= 1;
}

// The end check after a voice has moved: past its end it wraps into the loop
// when it loops and ends otherwise. index may exceed 32 bits while seeking.
inline void EndCheck(TrackMixState& track, Voice& v, std::uint64_t index)
{
    if (index >= v.end) {
        if (v.loopBegin < v.end) {
            index = v.loopBegin + (index - v.loopBegin) % (v.end - v.loopBegin);
        } else {
            EndVoice(track, v);
        }
    }
    v.sampleIndex = static_cast<std::uint32_t>(index);
}

// Moves a voice on by one output frame: the fraction sum wraps at 32 bits.
inline void AdvanceOneFrame(TrackMixState& track, Voice& v)
{
    const std::uint32_t t = v.fraction + v.step;
    v.fraction = t & kFractionMask;
    EndCheck(track, v, std::uint64_t { v.sampleIndex } + (t >> 24));
}

// Applies, in list order, every event of the track that is due at the
// track's position and moves the cursor past it. Only events with the exists
// flag take effect.
inline void ApplyDueEvents(
    const Project& project, MixState& state, const Track& list, TrackMixState& track)
{
    while (
        track.eventCursor < list.count && list.events[track.eventCursor].time <= track.position) {
        const Event event = list.events[track.eventCursor];
        ++track.eventCursor;
        if ((event.flags & kEventExists) != 0)
            ApplyEvent(project, state, track, event);
    }
}

// The moves of CompactVoices over any table of kVoicesPerTrack slots, n of
// which are to stay active: each inactive slot below n, in increasing order,
// takes the next active slot at or after a source pointer that starts at n
// (passing over inactive ones), and that slot becomes inactive. Voices below
// n keep their slots; moved voices keep their relative order. active(s) tells
// whether slot s is active; move(from, to) moves a slot and leaves `from`
// inactive.
template <class Active, class Move> void CompactSlots(std::uint32_t n, Active active, Move move)
{
    std::uint32_t source = n;
    for (std::uint32_t slot = 0; slot < n; ++slot) {
        if (active(slot))
            continue;
        while (source < kVoicesPerTrack && !active(source))
            ++source;
        if (source == kVoicesPerTrack)
            break; // the count claims more voices than there are; nothing left to move
        move(source, slot);
        ++source;
    }
}

// Time of the next event not yet applied; the sentinel time when there is none.
inline std::uint32_t NextEventTime(const Track& list, const TrackMixState& track)
{
    return track.eventCursor < list.count ? list.events[track.eventCursor].time : kSentinelTime;
}

} // namespace vellisto::engine
