// SPDX-License-Identifier: MIT
// Seeking: moving the mix to any frame without producing output, in whole
// stretches instead of frame by frame, with exactly the state that rendering
// up to that frame leaves.
//
// Between two events of a track nothing but the voices' envelopes and
// positions changes. A stretch is cut into pieces at the frames where some
// voice changes envelope phase or ends, so that within a piece every voice
// moves by a closed formula, and voices that end are compacted in the same
// order as rendering compacts them frame by frame.

#include "engine/Mixer.h"
#include "engine/detail/Envelope.h"
#include "engine/detail/VoiceMath.h"

#include <algorithm>
#include <limits>

namespace vellisto::engine {

namespace {

    constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();
    constexpr std::uint64_t kFractionOne = std::uint64_t { kFractionMask } + 1;

    // Frames up to and including the one in which a voice that does not loop
    // passes its end.
    //
    // Per frame the fraction sum t = fraction + step wraps at 32 bits, so the
    // whole frames moved are (step >> 24) + carry, modulo 256: a step below
    // 255 << 24 moves steadily by step / 2^24, while a step of 255 << 24 or more
    // moves 255 frames in frames without a carry and none in frames with one.
    std::uint64_t FramesToEnd(const Voice& v)
    {
        if (v.loopBegin < v.end)
            return kNever;
        if (v.sampleIndex >= v.end)
            return 1;
        const std::uint64_t need = v.end - v.sampleIndex;
        const std::uint32_t whole = v.step >> 24;
        if (whole < 255) {
            if (v.step == 0)
                return kNever;
            const std::uint64_t distance = (need << 24) - v.fraction; // in 1/2^24 frames, above 0
            return (distance + v.step - 1) / v.step;
        }
        // After f frames the carries are floor((fraction + f * part) / 2^24), so
        // the frames without one number ceil((f * drift - fraction) / 2^24) with
        // drift = 2^24 - part; the first f with `moves` of them is found directly.
        const std::uint64_t moves = (need + 254) / 255;
        const std::uint64_t drift = kFractionOne - (v.step & kFractionMask);
        return (((moves - 1) << 24) + v.fraction) / drift + 1;
    }

    // Moves a voice on by m frames, m being at most the frames to its next
    // envelope change and to its end: the envelope stays in one phase up to the
    // last of them, and the voice can end only in the last.
    void SkipFrames(TrackMixState& track, Voice& v, std::uint64_t m)
    {
        AdvanceEnvelope(v, static_cast<std::uint32_t>(m));
        // m * part stays below 2^56, the frames moved below 2^40.
        const std::uint32_t whole = v.step >> 24;
        const std::uint64_t sum = v.fraction + m * (v.step & kFractionMask);
        const std::uint64_t carries = sum >> 24;
        v.fraction = static_cast<std::uint32_t>(sum) & kFractionMask;
        const std::uint64_t frames = whole < 255 ? whole * m + carries : 255 * (m - carries);
        EndCheck(track, v, v.sampleIndex + frames);
    }

    // Moves every voice of a track on by the given frames.
    void SkipVoices(TrackMixState& track, std::uint32_t frames)
    {
        std::uint64_t remaining = frames;
        while (remaining > 0 && track.activeVoices > 0) {
            std::uint64_t piece = remaining;
            for (std::uint32_t i = 0; i < track.slotCount; ++i) {
                const Voice& v = track.voices[i];
                if (v.active != 0)
                    piece = std::min({ piece, FramesLeftInPhase(v), FramesToEnd(v) });
            }
            for (std::uint32_t i = 0; i < track.slotCount; ++i) {
                if (track.voices[i].active != 0)
                    SkipFrames(track, track.voices[i], piece);
            }
            if (track.activeVoices < track.slotCount)
                CompactVoices(track);
            remaining -= piece;
        }
        if (track.activeVoices < track.slotCount)
            CompactVoices(track);
    }

    // Back to frame 0: every track at its start, no voice sounding.
    void Rewind(MixState& state)
    {
        for (TrackMixState& track : state.tracks) {
            track.position = 0;
            track.activeVoices = 0;
            track.slotCount = 0; // no voice sounds, so no slot needs looking at
            if (track.active == 0)
                continue;
            track.volume = kVolumeOne;
            track.balance = kBalanceCentre;
            track.stress = kVolumeOne;
            track.pitch = kPitchOne;
            track.eventCursor = 0;
            for (Voice& v : track.voices)
                v.active = 0;
        }
    }

} // namespace

bool SeekMix(const Project& project, MixState& state, std::uint32_t target)
{
    if (target < state.position)
        Rewind(state);
    state.position = target;
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        TrackMixState& track = state.tracks[t];
        if (track.active == 0)
            continue;
        const Track& list = project.tracks[t];
        while (track.position < target) {
            ApplyDueEvents(project, state, list, track);
            // The cursor is now past every event due at this position.
            const std::uint32_t k = std::min(NextEventTime(list, track), target) - track.position;
            track.position += k;
            SkipVoices(track, k);
        }
    }
    return true;
}

} // namespace vellisto::engine
