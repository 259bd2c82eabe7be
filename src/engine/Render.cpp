// SPDX-License-Identifier: MIT
// Preparing a mix and rendering it: per track and frame, the due events, then
// every active voice's envelope level times its kernel value, summed in 32
// bits; then the track's volume and balance into the accumulator; finally the
// master volume and balance and the clip to 16 bits.
//
// Each combination of kernel and channel count has its own loop (a template
// instance), chosen once per block; nothing inside a loop branches on format.
// The loops here are the reference; FastRender.cpp holds the fast ones, and
// RenderPool.cpp spreads a block's tracks over threads.

#include "audio/SincWeights.h"
#include "engine/Mixer.h"
#include "engine/RenderPool.h"
#include "engine/detail/Kernels.h"
#include "engine/detail/TrackRenderer.h"
#include "engine/detail/VoiceMath.h"

#include <algorithm>
#include <new>

namespace vellisto::engine {

namespace {

    // The reference loop: frame by frame, every active voice in slot order,
    // then the track's sums into the accumulator.
    template <Kernel K, int Channels>
    void RenderTrack(const Project& project, MixState& state, const Track& list,
        TrackMixState& track, std::int32_t* acc, std::uint32_t frames)
    {
        for (std::uint32_t f = 0; f < frames; ++f, acc += Channels) {
            // Events of equal time take effect in list order, before the frame's samples.
            ApplyDueEvents(project, state, list, track);
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

    template <Kernel K> TrackRenderer ReferenceFor(int channels)
    {
        return channels == 1 ? &RenderTrack<K, 1> : &RenderTrack<K, 2>;
    }

    // The loop of this mix for blocks of the given channel count; null for a
    // mixing interpolation above 3, whose blocks are silence (no event applies).
    TrackRenderer SelectTrackRenderer(const MixState& state, const RenderSetup& setup, int channels)
    {
        Kernel kernel;
        switch (static_cast<Interpolation>(state.settings.mixingInterpolation)) {
        case Interpolation::kNone:
            kernel = Kernel::kNone;
            break;
        case Interpolation::kLinear:
            kernel = Kernel::kLinear;
            break;
        case Interpolation::kSincLow:
            kernel = Kernel::kSincLow;
            break;
        case Interpolation::kSinc:
            kernel = Kernel::kSinc;
            break;
        default:
            return nullptr;
        }
        return setup.kernelPath == audio::KernelPath::kReference
            ? ReferenceTrackRenderer(kernel, channels)
            : FastTrackRenderer(kernel, channels, setup.vectorIsa);
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

    // One block of at most bufferLength frames: the tracks on the mix's pool
    // of threads when it has one that fits the block, else one after another.
    template <int Channels>
    void RenderBlock(const Project& project, MixState& state, const RenderSetup& setup,
        std::int16_t* destination, std::uint32_t frames)
    {
        state.position += frames;
        const std::size_t words = std::size_t { frames } * Channels;
        std::fill_n(state.accumulator.data(), words, 0);
        if (const TrackRenderer render = SelectTrackRenderer(state, setup, Channels)) {
            if (setup.pool != nullptr && setup.pool->fits(words)) {
                setup.pool->renderTracks(project, state, render, frames);
            } else {
                for (std::size_t t = 0; t < kTrackCount; ++t)
                    RenderTrackOfBlock(project, state, t, render, state.accumulator.data(), frames);
            }
        }
        WriteOutput<Channels>(state, destination, frames);
    }

    bool AnyTrackSoloed(const Project& project)
    {
        return std::any_of(project.tracks.begin(), project.tracks.end(),
            [](const Track& track) { return (track.flags & kTrackSolo) != 0; });
    }

} // namespace

TrackRenderer ReferenceTrackRenderer(Kernel kernel, int channels)
{
    switch (kernel) {
    case Kernel::kNone:
        return ReferenceFor<Kernel::kNone>(channels);
    case Kernel::kLinear:
        return ReferenceFor<Kernel::kLinear>(channels);
    case Kernel::kSincLow:
        return ReferenceFor<Kernel::kSincLow>(channels);
    case Kernel::kSinc:
        return ReferenceFor<Kernel::kSinc>(channels);
    }
    return nullptr;
}

RenderSetup ChooseRenderSetup(const ProjectSettings& settings)
{
    RenderSetup setup;
    setup.kernelPath = audio::CurrentKernelPath();
    setup.vectorIsa = audio::CurrentVectorIsa();
    // The fast sinc loops read the weight tables, built here on first use
    // (not during a render); without them the mix keeps to the reference.
    const auto interpolation = static_cast<Interpolation>(settings.mixingInterpolation);
    const bool sinc
        = interpolation == Interpolation::kSinc || interpolation == Interpolation::kSincLow;
    if (setup.kernelPath == audio::KernelPath::kFast && sinc && audio::SincWeights() == nullptr)
        setup.kernelPath = audio::KernelPath::kReference;
    return setup;
}

bool PrepareMix(const Project& project, MixState& state, bool honourMuteAndSolo)
{
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

bool RenderMix(const Project& project, MixState& state, const RenderSetup& setup,
    std::int16_t* destination, std::uint32_t frames)
{
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
            RenderBlock<1>(project, state, setup, destination, n);
        else
            RenderBlock<2>(project, state, setup, destination, n);
        destination += std::size_t { n } * channels;
        frames -= n;
    }
    return true;
}

} // namespace vellisto::engine
