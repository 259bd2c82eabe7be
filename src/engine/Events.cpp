// SPDX-License-Identifier: MIT
// Event processing: starting, replacing and stopping voices, links between
// sounds, and the track-wide changes of volume, balance, stress and pitch.

#include "engine/Mixer.h"
#include "engine/detail/VoiceMath.h"

#include <algorithm>

namespace vellisto::engine {

namespace {

    // How many more linked events one top-level event may still set off.
    struct LinkBudget {
        std::uint32_t remaining = kMaxLinkedEvents;

        // Takes one linked event at the given nesting depth; false when spent.
        bool take(std::uint32_t depth)
        {
            if (depth >= kMaxLinkDepth || remaining == 0)
                return false;
            --remaining;
            return true;
        }
    };

    // Voices per track for this mix: a stored count above the slot table's size
    // cannot address more slots than there are.
    std::uint32_t SoundCountPerTrack(const MixState& state)
    {
        return std::min<std::uint32_t>(state.settings.soundCountPerTrack, kVoicesPerTrack);
    }

    // The sound a Play may start: an ID below 1024 whose samples are loaded as
    // 16-bit frames in the output channel layout, so that every read stays inside
    // the sample block and its guard zones.
    const SoundSlot* PlayableSound(const Project& project, const MixState& state, std::uint32_t id)
    {
        const SoundSlot* sound = project.findSound(id);
        if (sound == nullptr || sound->samples == nullptr)
            return nullptr;
        const OutputFormat& format = sound->dataFormat;
        const bool layoutFits
            = format.bitsPerSample == 16 && format.channels == state.settings.outputFormat.channels;
        return layoutFits ? sound : nullptr;
    }

    bool LinksPlay(const SoundSlot& sound)
    {
        return sound.linkingMode == static_cast<std::uint32_t>(LinkingMode::kAllEvents)
            || sound.linkingMode == static_cast<std::uint32_t>(LinkingMode::kPlay);
    }

    bool LinksStop(const SoundSlot& sound)
    {
        return sound.linkingMode == static_cast<std::uint32_t>(LinkingMode::kAllEvents)
            || sound.linkingMode == static_cast<std::uint32_t>(LinkingMode::kStop);
    }

    // The slot that a new Play takes, or null when the Play is dropped.
    Voice* ChooseSlot(const MixState& state, TrackMixState& track)
    {
        const std::uint32_t count = SoundCountPerTrack(state);
        if (track.activeVoices < count) {
            // The lowest free slot; with compact voices it is never above activeVoices.
            std::uint32_t slot = 0;
            while (slot < kVoicesPerTrack && track.voices[slot].active != 0)
                ++slot;
            if (slot == kVoicesPerTrack)
                return nullptr;
            if (slot >= track.slotCount)
                track.slotCount = slot + 1;
            track.activeVoices += 1;
            return &track.voices[slot];
        }
        if (state.settings.playingPriority == 0)
            return nullptr; // "Play older": the playing voices win
        // "Play newer": replace a released voice before a held one, and among
        // equals the one furthest into its samples; on a tie the lower slot stays.
        std::uint32_t candidate = 0;
        for (std::uint32_t i = 0; i < count; ++i) {
            const Voice& v = track.voices[i];
            const Voice& best = track.voices[candidate];
            if ((v.held == 0 && best.held != 0)
                || (v.held == best.held && v.sampleIndex > best.sampleIndex))
                candidate = i;
        }
        return &track.voices[candidate];
    }

    void StartVoice(Voice& v, const SoundSlot& sound, const TrackMixState& track, std::uint32_t id,
        std::uint32_t noteVolume, std::uint32_t notePitch)
    {
        v.active = 1;
        v.held = 1;
        v.soundId = id;
        v.noteVolume = noteVolume;
        v.notePitch = notePitch;
        v.sampleIndex = 0;
        v.fraction = 0;
        v.gain = VoiceGain(sound.volume, noteVolume, track.stress);
        v.step = VoiceStep(sound.pitch, notePitch, track.pitch);
        // A loop end beyond the samples means the sound plays once to its last frame.
        const std::uint32_t frames = SoundFrames(sound);
        if (sound.loopEnd > frames) {
            v.loopBegin = kNoLoop;
            v.end = frames;
        } else {
            v.loopBegin = sound.loopBegin;
            v.end = sound.loopEnd;
        }
        v.envelopeCounter = 0;
        v.frozenLevel = 0;
        v.attackLength = sound.attackTime;
        v.sustainLength = sound.sustainTime;
        v.releaseLength = sound.releaseTime;
        if (v.attackLength != 0)
            v.envelopeState = EnvelopeState::kAttack;
        else
            v.envelopeState = v.sustainLength != 0 ? EnvelopeState::kSustain : EnvelopeState::kHold;
        v.samples = sound.samples;
    }

    // Starts a voice, then the voices of the sounds it links to, one after the other.
    void Play(const Project& project, MixState& state, TrackMixState& track, std::uint32_t id,
        std::uint32_t noteVolume, std::uint32_t notePitch)
    {
        LinkBudget budget;
        for (std::uint32_t depth = 0;; ++depth) {
            const SoundSlot* sound = PlayableSound(project, state, id);
            if (sound == nullptr)
                return; // no voice and no link
            Voice* voice = ChooseSlot(state, track);
            if (voice == nullptr)
                return; // dropped, links included
            StartVoice(*voice, *sound, track, id, noteVolume, notePitch);
            if (!LinksPlay(*sound) || !budget.take(depth))
                return;
            id = sound->linkedId;
        }
    }

    // The release or freeze of a voice stopped in Normal or Keep loop mode. The
    // level reached so far is kept: a release starts at the counter whose level
    // equals it, a freeze fixes it as a 16.16 fraction of the gain.
    void ReleaseVoice(TrackMixState& track, Voice& v, const SoundSlot& sound, StopEventMode mode)
    {
        v.held = 0;
        const std::uint64_t c = v.envelopeCounter;
        const std::uint64_t r = v.releaseLength;
        if (v.loopBegin < v.end) {
            if (mode == StopEventMode::kNormal) {
                v.loopBegin = kNoLoop; // plays on to the end of its samples
                v.end = SoundFrames(sound);
            }
            if (r == 0) {
                std::uint64_t frozen = kFrozenOne;
                if (v.envelopeState == EnvelopeState::kAttack)
                    frozen = (c * kFrozenOne) / v.attackLength;
                else if (v.envelopeState == EnvelopeState::kSustain)
                    frozen = kFrozenOne - (c * kFrozenOne) / v.sustainLength;
                v.frozenLevel = static_cast<std::uint32_t>(frozen);
                v.envelopeState = EnvelopeState::kFrozen;
                return;
            }
        } else if (r == 0) {
            EndVoice(track, v);
            return;
        }
        std::uint64_t counter = 0;
        if (v.envelopeState == EnvelopeState::kAttack)
            counter = r - (r * c) / v.attackLength;
        else if (v.envelopeState == EnvelopeState::kSustain)
            counter = (r * c) / v.sustainLength;
        v.envelopeCounter = static_cast<std::uint32_t>(counter);
        v.envelopeState = EnvelopeState::kRelease;
    }

    void Stop(const Project& project, TrackMixState& track, std::uint32_t id,
        std::uint32_t pitchFilter, LinkBudget& budget, std::uint32_t depth)
    {
        const bool byPitch = project.settings.stoppingRules != 0;
        // The slot count is read again at every step: a linked Stop may compact the voices.
        for (std::uint32_t i = 0; i < track.slotCount; ++i) {
            Voice& v = track.voices[i];
            if (v.active == 0 || v.held == 0 || v.soundId != id)
                continue;
            if (byPitch && pitchFilter != 0 && v.notePitch != pitchFilter)
                continue;
            const SoundSlot* sound = project.findSound(id);
            if (sound == nullptr)
                continue;
            switch (static_cast<StopEventMode>(sound->stopEventMode)) {
            case StopEventMode::kNormal:
            case StopEventMode::kKeepLoop:
                ReleaseVoice(track, v, *sound, static_cast<StopEventMode>(sound->stopEventMode));
                break;
            case StopEventMode::kForced:
                v.held = 0;
                EndVoice(track, v);
                break;
            case StopEventMode::kIgnore:
            default:
                break; // the voice plays on; the link below still passes the Stop on
            }
            // Every matched voice passes the Stop on, before the scan goes on.
            if (LinksStop(*sound) && budget.take(depth))
                Stop(project, track, sound->linkedId, pitchFilter, budget, depth + 1);
        }
        if (track.activeVoices < track.slotCount)
            CompactVoices(track);
    }

    void AllStop(TrackMixState& track)
    {
        for (std::uint32_t i = 0; i < track.slotCount; ++i)
            track.voices[i].active = 0;
        track.slotCount = 0;
        track.activeVoices = 0;
    }

    // Applies a change to every sounding voice of the track, held or released.
    template <typename Change>
    void ChangeSoundingVoices(const Project& project, TrackMixState& track, Change change)
    {
        for (std::uint32_t i = 0; i < track.slotCount; ++i) {
            Voice& v = track.voices[i];
            const SoundSlot* sound = project.findSound(v.soundId);
            if (v.active != 0 && sound != nullptr)
                change(v, *sound);
        }
    }

} // namespace

void ApplyEvent(const Project& project, MixState& state, TrackMixState& track, const Event& event)
{
    switch (static_cast<EventType>(event.type)) {
    case EventType::kPlay:
        Play(project, state, track, event.data1, event.data2, event.data3);
        break;
    case EventType::kStop: {
        LinkBudget budget;
        Stop(project, track, event.data1, event.data2, budget, 0);
        break;
    }
    case EventType::kAllStop:
        AllStop(track);
        break;
    case EventType::kVolume:
        track.volume = event.data1;
        break;
    case EventType::kBalance:
        track.balance = event.data1;
        break;
    case EventType::kStress:
        if (project.settings.changingStress == 0)
            break;
        track.stress = event.data1;
        ChangeSoundingVoices(project, track, [&](Voice& v, const SoundSlot& sound) {
            v.gain = VoiceGain(sound.volume, v.noteVolume, track.stress);
        });
        break;
    case EventType::kPitch:
        if (project.settings.changingPitch == 0)
            break;
        track.pitch = event.data1;
        ChangeSoundingVoices(project, track, [&](Voice& v, const SoundSlot& sound) {
            v.step = VoiceStep(sound.pitch, v.notePitch, track.pitch);
        });
        break;
    }
}

void CompactVoices(TrackMixState& track)
{
    const std::uint32_t n = track.activeVoices;
    CompactSlots(
        n, [&](std::uint32_t slot) { return track.voices[slot].active != 0; },
        [&](std::uint32_t from, std::uint32_t to) {
            track.voices[to] = track.voices[from];
            track.voices[from].active = 0;
        });
    track.slotCount = n;
}

} // namespace vellisto::engine
