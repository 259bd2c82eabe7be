// SPDX-License-Identifier: MIT
// Preparing a mix and rendering it: per track and frame, the due events, then
// every active voice's envelope level times its kernel value, summed in 32
// bits; then the track's volume and balance into the accumulator; finally the
// master volume and balance and the clip to 16 bits.
//
// Each combination of kernel and channel count has its own loop (a template
// instance), chosen once per block; nothing inside a loop branches on format.

#include "engine/Kernels.h"
#include "engine/Mixer.h"
#include "engine/VoiceMath.h"

#include <algorithm>
#include <new>

namespace vellisto::engine {

namespace {

    // Adds one frame of a track's voice sums to the accumulator. Every division
    // truncates toward zero (x / 1024, not x >> 10); the balance law is linear,
    // 512 being unity on both sides.
    template <int Channels>
    void AddTrackFrame(
        const TrackMixState& track, const std::uint32_t (&sum)[Channels], std::int32_t* acc)
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

    // Renders `frames` frames of one active track into the accumulator.
    template <Kernel K, int Channels>
    void RenderTrack(Project& project, const Track& list, TrackMixState& track, std::int32_t* acc,
        std::uint32_t frames)
    {
        for (std::uint32_t f = 0; f < frames; ++f, acc += Channels) {
            // Events of equal time take effect in list order, before the frame's samples.
            ApplyDueEvents(project, list, track);
            const bool sounding = track.activeVoices > 0;
            if (sounding) {
                std::uint32_t sum[Channels] = {}; // 32-bit signed sums, wrapping
                for (std::uint32_t i = 0; i < track.slotCount; ++i) {
                    Voice& v = track.voices[i];
                    if (v.active == 0)
                        continue;
                    const std::uint32_t level = EnvelopeLevel(v);
                    std::int32_t value[Channels];
                    KernelValue<K, Channels>(v.samples, v.sampleIndex, v.fraction, value);
                    for (int c = 0; c < Channels; ++c)
                        sum[c] += level * static_cast<std::uint32_t>(value[c]);
                    AdvanceOneFrame(track, v);
                }
                AddTrackFrame<Channels>(track, sum, acc);
            }
            if (track.activeVoices < track.slotCount)
                CompactVoices(track);
            track.position += 1;
        }
    }

    template <Kernel K, int Channels> void RenderTracks(Project& project, std::uint32_t frames)
    {
        MixState& state = project.mixState;
        for (std::size_t t = 0; t < kTrackCount; ++t) {
            TrackMixState& track = state.tracks[t];
            if (track.active == 0)
                continue;
            RenderTrack<K, Channels>(
                project, project.tracks[t], track, state.accumulator.data(), frames);
            track.position = state.position;
        }
    }

    template <int Channels> void RenderTracksWith(Project& project, std::uint32_t frames)
    {
        switch (static_cast<Interpolation>(project.mixState.settings.mixingInterpolation)) {
        case Interpolation::kNone:
            return RenderTracks<Kernel::kNone, Channels>(project, frames);
        case Interpolation::kLinear:
            return RenderTracks<Kernel::kLinear, Channels>(project, frames);
        case Interpolation::kSincLow:
            return RenderTracks<Kernel::kSincLow, Channels>(project, frames);
        case Interpolation::kSinc:
            return RenderTracks<Kernel::kSinc, Channels>(project, frames);
        }
        // Any other interpolation renders silence and applies no event.
    }

    std::int16_t Clip16(std::int32_t v)
    {
        return static_cast<std::int16_t>(std::clamp<std::int32_t>(v, -32768, 32767));
    }

    // The master volume and balance, and the only clip of the whole mix.
    template <int Channels>
    void WriteOutput(const MixState& state, std::int16_t* destination, std::uint32_t frames)
    {
        const std::uint32_t volume = state.settings.masterVolume;
        const std::uint32_t balance = state.settings.masterBalance;
        const std::int32_t* acc = state.accumulator.data();
        for (std::uint32_t f = 0; f < frames; ++f, acc += Channels, destination += Channels) {
            if constexpr (Channels == 1) {
                destination[0] = Clip16(MulWrap(acc[0] / 1024, volume) / 1024);
            } else {
                const std::int32_t left = MulWrap(acc[0] / 1024, kBalanceMax - balance) / 512;
                const std::int32_t right = MulWrap(acc[1] / 1024, balance) / 512;
                destination[0] = Clip16(MulWrap(left, volume) / 1024);
                destination[1] = Clip16(MulWrap(right, volume) / 1024);
            }
        }
    }

    // One block of at most bufferLength frames.
    template <int Channels>
    void RenderBlock(Project& project, std::int16_t* destination, std::uint32_t frames)
    {
        MixState& state = project.mixState;
        state.position += frames;
        std::fill_n(state.accumulator.data(), std::size_t { frames } * Channels, 0);
        RenderTracksWith<Channels>(project, frames);
        WriteOutput<Channels>(state, destination, frames);
    }

    bool AnyTrackSoloed(const Project& project)
    {
        return std::any_of(project.tracks.begin(), project.tracks.end(),
            [](const Track& track) { return (track.flags & kTrackSolo) != 0; });
    }

} // namespace

bool PrepareMix(Project& project, bool honourMuteAndSolo)
{
    MixState& state = project.mixState;
    state.accumulator = std::vector<std::int32_t>();
    state.settings = project.settings;
    // A stored block length outside 1024..65536 (or not a multiple of 1024)
    // is corrected as the settings view would; blocks never show in the output.
    ProjectSettings bounded = project.settings;
    ValidateSettings(bounded);
    state.settings.bufferLength = bounded.bufferLength;
    state.position = state.settings.positionWord;
    state.tracks.fill(TrackMixState {});

    // Output with neither 1 nor 2 channels is refused at every render and needs no accumulator.
    const std::uint32_t channels = state.settings.outputFormat.channels;
    const std::size_t words = channels == 1 || channels == 2
        ? std::size_t { state.settings.bufferLength } * channels
        : 0;
    try {
        state.accumulator.assign(words, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }

    const bool soloPresent = AnyTrackSoloed(project);
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        const Track& list = project.tracks[t];
        TrackMixState& track = state.tracks[t];
        bool active = list.count > 0 && list.events != nullptr;
        if (honourMuteAndSolo)
            active = active
                && (soloPresent ? (list.flags & kTrackSolo) != 0 : (list.flags & kTrackMuted) == 0);
        track.active = active ? 1 : 0;
        track.volume = kVolumeOne;
        track.balance = kBalanceCentre;
        track.stress = kVolumeOne;
        track.pitch = kPitchOne;
    }
    return true;
}

bool RenderMix(Project& project, std::int16_t* destination, std::uint32_t frames)
{
    MixState& state = project.mixState;
    // The mix position never reaches the sentinel time.
    if (frames > kLastMixPosition || state.position > kLastMixPosition - frames)
        return false;
    const std::uint32_t channels = state.settings.outputFormat.channels;
    if (channels != 1 && channels != 2) {
        state.position += frames; // each refused block still moves the position on
        return false;
    }
    const std::uint32_t block = state.settings.bufferLength;
    if (block == 0 || state.accumulator.size() < std::size_t { block } * channels)
        return false; // not prepared
    while (frames > 0) {
        const std::uint32_t n = std::min(frames, block);
        if (channels == 1)
            RenderBlock<1>(project, destination, n);
        else
            RenderBlock<2>(project, destination, n);
        destination += std::size_t { n } * channels;
        frames -= n;
    }
    return true;
}

} // namespace vellisto::engine
