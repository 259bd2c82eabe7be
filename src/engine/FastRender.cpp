// SPDX-License-Identifier: MIT
// The fast track loops: the arithmetic of the reference loops (Render.cpp),
// to the bit, arranged for speed.
//
// - A track is rendered in runs. A run ends at the track's next event and at
//   most kRunFrames frames on, so within a run no event touches the voices,
//   the volume or the balance.
// - Within a run each voice is rendered on its own over all the run's frames
//   into per-frame sums, which then go through the track's volume and
//   balance frame by frame. The sums wrap at 32 bits, so the order in which
//   the voices are added makes no difference.
// - A voice runs in pieces with no choices left inside: a piece keeps one
//   envelope phase, and stops before the frame whose move could reach the
//   voice's end (counted with one division). That frame takes the
//   reference's one-frame step: envelope, kernel, move, end check, loop wrap.
// - The sinc weights come from the per-phase tables (audio/SincWeights.h),
//   the dot products from vector instructions (audio/SincDot.h).
// - The voices are compacted at the end of a run instead of after each
//   frame. The slots that a compaction fills depend on which voices had
//   ended by then, so when voices end at different frames of a run, the
//   compactions after each of those frames are replayed in order over the
//   slots; the slots that the next event sees are then the reference's.

#include "audio/SincDot.h"
#include "audio/SincTables.h"
#include "audio/SincWeights.h"
#include "engine/detail/EightFrames.h"
#include "engine/detail/Envelope.h"
#include "engine/detail/SincFours.h"
#include "engine/detail/TrackRenderer.h"

#include <algorithm>

namespace vellisto::engine {

namespace {

    constexpr std::uint32_t kRunFrames = 512;
    constexpr std::uint32_t kStillSounding = 0xFFFFFFFFu; // a voice that lasts the whole run
    // With steps up to this, fraction + step never wraps 32 bits, so a piece
    // may move the position as one 64-bit sum. Larger steps go frame by frame.
    constexpr std::uint32_t kMaxPieceStep = 0xFF000000u;

    struct Piece {
        std::uint32_t frames = 0; // 0: take the one-frame step
        bool flat = true; // one level for every frame, else one per frame
        std::uint32_t level = 0; // of a flat piece
    };

    // The frames, at most `limit`, that stay in the voice's envelope phase
    // without finishing it (the last frame of a timed phase switches the
    // phase or ends the voice, and goes through the one-frame step).
    Piece EnvelopePiece(const Voice& v, std::uint32_t limit)
    {
        const std::uint64_t left = FramesLeftInPhase(v);
        if (left == kUntimedPhase)
            return Piece { limit, true, PhaseLevel(v, v.envelopeCounter) };
        return Piece { static_cast<std::uint32_t>(std::min<std::uint64_t>(limit, left - 1)), false,
            0 };
    }

    // The frames, at most `limit`, after each of which the voice is still
    // before its end, so that no end check can fire: with p the position in
    // 1/2^24 frames, the largest n with p + n x step < end x 2^24.
    std::uint32_t FramesBeforeEnd(const Voice& v, std::uint32_t limit)
    {
        if (v.sampleIndex >= v.end || v.step > kMaxPieceStep)
            return 0;
        if (v.step == 0)
            return limit;
        const std::uint64_t room = (std::uint64_t { v.end - v.sampleIndex } << 24) - v.fraction;
        return static_cast<std::uint32_t>(std::min<std::uint64_t>(limit, (room - 1) / v.step));
    }

    // The levels of a piece frame by frame, as EnvelopeLevel gives them; moves
    // the envelope on by the piece, which stays within the phase.
    void PieceLevels(Voice& v, std::uint32_t frames, std::uint32_t* levels)
    {
        const std::uint32_t c = v.envelopeCounter;
        WithPhaseLevel(v, [&](auto level) {
            for (std::uint32_t j = 0; j < frames; ++j)
                levels[j] = level(c + j);
        });
        AdvanceEnvelope(v, frames);
    }

    // The kernel value at a position; the same values as KernelValue.
    template <Kernel K, int Channels, class Isa>
    [[gnu::always_inline]] inline void FastKernelValue(const audio::SincWeightTables* tables,
        const std::uint8_t* samples, std::uint32_t index, std::uint32_t fraction,
        std::int32_t (&out)[Channels])
    {
        if constexpr (K == Kernel::kNone || K == Kernel::kLinear) {
            KernelValue<K, Channels>(samples, index, fraction, out);
        } else {
            constexpr bool kLow = K == Kernel::kSincLow;
            constexpr int kTaps = kLow ? audio::kLowResTaps : audio::kHighResTaps;
            const std::uint32_t phi = fraction >> (kLow ? 12 : 8);
            const std::uint8_t* frame = samples + std::size_t { index } * (Channels * 2);
            if (phi == 0) {
                // A whole-frame position (below the phase resolution) is the sample itself.
                for (int c = 0; c < Channels; ++c)
                    out[c] = Tap<Channels>(frame, 0, c);
                return;
            }
            const std::uint8_t* first = frame - (kTaps / 2 - 1) * (Channels * 2);
            std::uint32_t sum[Channels];
            if constexpr (!kLow && Isa::kIsa >= audio::VectorIsa::kAvx2) {
                // Half of the 16 MiB table, read either way: the rows that
                // random phases bring into the caches are half as many.
                const audio::MirroredRow m = audio::FromFirstHalf<audio::kHighResSincPeriod>(phi);
                Isa::template DotEitherWay<kTaps, Channels>(
                    tables->highResRow(m.row), m.reversed, first, sum);
            } else {
                const std::int16_t* weights
                    = kLow ? tables->lowResRow(phi) : tables->highResRow(phi);
                Isa::template Dot<kTaps, Channels, 16>(weights, first, sum);
            }
            for (int c = 0; c < Channels; ++c)
                out[c] = static_cast<std::int32_t>(sum[c]) / 16384;
        }
    }

    // Frames ahead whose "Use sinc" weight row is fetched into the cache
    // while the current frame is computed: rows of random phases miss the
    // caches (the table is larger than the last level's share of a core), and
    // a miss waited for one frame at a time would dominate the cost.
    constexpr std::uint32_t kPrefetchFrames = 16;

    // Asks the cache for the "Use sinc" weight row of a later position, the
    // row that the kernel of this instruction set reads. A hint only, which
    // changes nothing but timing. Nothing else is fetched ahead: a voice reads
    // its samples in order, which the processor's own prefetching follows,
    // and the low-resolution table stays in the second-level cache; asking
    // for them anyway costs more than it saves.
    template <Kernel K, class Isa>
    [[gnu::always_inline]] inline void PrefetchAhead(
        const audio::SincWeightTables* tables, std::uint64_t position)
    {
        if constexpr (K == Kernel::kSinc) {
            const std::uint32_t phi = (static_cast<std::uint32_t>(position) & kFractionMask) >> 8;
            const std::int16_t* row = tables->highResRow(Isa::kIsa >= audio::VectorIsa::kAvx2
                    ? audio::FromFirstHalf<audio::kHighResSincPeriod>(phi).row
                    : phi);
            for (int line = 0; line < audio::kHighResTaps * 2; line += 64)
                __builtin_prefetch(reinterpret_cast<const char*>(row) + line);
        }
    }

#if VEL_HAVE_X86_VECTORS
    // "Use sinc" four frames at a time: the frames' rows and taps found one
    // by one, their sums formed together and added to the run's sums
    // (engine/detail/SincFours.h).
    struct SincFrames {
        // Renders the whole fours of the piece, moves position on by them and
        // returns their frames.
        template <Kernel K, int Channels, class Isa, bool PerFrameLevels>
        [[gnu::always_inline]] static std::uint32_t Render(const audio::SincWeightTables* tables,
            const std::uint8_t* samples, std::uint64_t& position, std::uint32_t step,
            std::uint32_t* sums, std::uint32_t frames, const std::uint32_t* levels,
            std::uint32_t level)
        {
            using Fours = typename sinc::FoursOf<Isa>::Type;
            constexpr bool kLow = K == Kernel::kSincLow;
            constexpr int kTaps = kLow ? audio::kLowResTaps : audio::kHighResTaps;
            const std::uint32_t fours = frames / 4;
            for (std::uint32_t q = 0; q < fours; ++q, sums += 4) {
                sinc::FourFrames f;
                for (int i = 0; i < 4; ++i, position += step) {
                    PrefetchAhead<K, Isa>(
                        tables, position + std::uint64_t { kPrefetchFrames } * step);
                    sinc::SetFrame<kLow, Channels>(f, i, *tables, samples,
                        static_cast<std::uint32_t>(position >> 24),
                        static_cast<std::uint32_t>(position) & kFractionMask);
                }
                __m128i value[Channels];
                Fours::template Sums<kTaps, Channels, !kLow>(f, value);
                if constexpr (PerFrameLevels)
                    sinc::Avx2Fours::AddScaled<Channels>(value, levels + 4 * q, sums, kRunFrames);
                else
                    sinc::Avx2Fours::AddScaled<Channels>(value, level, sums, kRunFrames);
            }
            return fours * 4;
        }
    };
#endif

    // Renders a piece: no end check, no envelope switch, a flat level or one
    // level per frame.
    template <Kernel K, int Channels, class Isa, bool PerFrameLevels>
    [[gnu::always_inline]] inline void RenderPiece(const audio::SincWeightTables* tables, Voice& v,
        std::uint32_t* sums, std::uint32_t frames, const std::uint32_t* levels, std::uint32_t level)
    {
        const std::uint8_t* samples = v.samples;
        const std::uint32_t step = v.step;
        // The position as one 64-bit count of 1/2^24 frames: within a piece
        // the 32-bit fraction sum never wraps (step <= kMaxPieceStep) and the
        // index stays below the end, so adding the step to it is the
        // reference's move, with one addition on the chain from frame to frame.
        std::uint64_t position = (std::uint64_t { v.sampleIndex } << 24) | v.fraction;
        std::uint32_t j = 0;
#if VEL_HAVE_X86_VECTORS
        if constexpr (Isa::kIsa >= audio::VectorIsa::kAvx2) {
            constexpr bool kSinc = K == Kernel::kSinc || K == Kernel::kSincLow;
            // A sinc voice that moves by whole frames keeps its phase; at
            // phase 0 (a voice at its sound's own pitch, say) every frame is
            // its sample, as with "None".
            const bool wholeFrames = kSinc && (step & kFractionMask) == 0
                && (v.fraction >> (K == Kernel::kSincLow ? 12 : 8)) == 0;
            // Mono "Use sinc" stays one frame at a time: its frames wait on
            // their weight rows rather than on adding up, and measured no
            // faster four at a time.
            constexpr Kernel kEights = kSinc ? Kernel::kNone : K;
            if (!kSinc || wholeFrames)
                j = EightFrames::Render<kEights, Channels, kRunFrames, PerFrameLevels>(
                    samples, position, step, sums, frames, levels, level);
            else if constexpr (K == Kernel::kSincLow || Channels == 2)
                j = SincFrames::Render<K, Channels, Isa, PerFrameLevels>(
                    tables, samples, position, step, sums, frames, levels, level);
            sums += j;
        }
#endif
        for (; j < frames; ++j, ++sums, position += step) {
            const auto index = static_cast<std::uint32_t>(position >> 24);
            const auto fraction = static_cast<std::uint32_t>(position) & kFractionMask;
            PrefetchAhead<K, Isa>(tables, position + std::uint64_t { kPrefetchFrames } * step);
            std::int32_t value[Channels];
            FastKernelValue<K, Channels, Isa>(tables, samples, index, fraction, value);
            const std::uint32_t l = PerFrameLevels ? levels[j] : level;
            for (int c = 0; c < Channels; ++c)
                sums[c * kRunFrames] += l * static_cast<std::uint32_t>(value[c]);
        }
        const auto index = static_cast<std::uint32_t>(position >> 24);
        const auto fraction = static_cast<std::uint32_t>(position) & kFractionMask;
        v.sampleIndex = index;
        v.fraction = fraction;
    }

    // Renders one voice over the frames of a run, into sums (kRunFrames per
    // channel, channel after channel). Returns the frames it sounded if it
    // ended within the run, else kStillSounding.
    template <Kernel K, int Channels, class Isa>
    [[gnu::always_inline]] inline std::uint32_t RenderVoice(const audio::SincWeightTables* tables,
        TrackMixState& track, Voice& v, std::uint32_t* sums, std::uint32_t frames)
    {
        std::uint32_t levels[kRunFrames];
        std::uint32_t j = 0;
        while (j < frames && v.active != 0) {
            std::uint32_t* out = sums + j;
            const Piece piece = EnvelopePiece(v, frames - j);
            const std::uint32_t n = FramesBeforeEnd(v, piece.frames);
            if (n == 0) {
                // The reference's frame: envelope (which may switch phase or
                // set the end), kernel, move and end check.
                const std::uint32_t level = EnvelopeLevel(v);
                std::int32_t value[Channels];
                FastKernelValue<K, Channels, Isa>(
                    tables, v.samples, v.sampleIndex, v.fraction, value);
                for (int c = 0; c < Channels; ++c)
                    out[c * kRunFrames] += level * static_cast<std::uint32_t>(value[c]);
                AdvanceOneFrame(track, v);
                ++j;
                if (v.active == 0)
                    return j;
                continue;
            }
            if (piece.flat) {
                RenderPiece<K, Channels, Isa, false>(tables, v, out, n, nullptr, piece.level);
            } else {
                PieceLevels(v, n, levels);
                RenderPiece<K, Channels, Isa, true>(tables, v, out, n, levels, 0);
            }
            j += n;
        }
        return kStillSounding;
    }

    // The compactions of a run that the reference makes after each frame in
    // which voices ended. sounded[s] is how many frames of the run slot s
    // sounded (0 for a slot inactive from the start, kStillSounding for a
    // voice that lasts). The reference also compacts after the first frame
    // when the run starts with inactive slots below the slot count.
    void CompactAsRun(TrackMixState& track, std::uint32_t (&sounded)[kVoicesPerTrack],
        std::uint32_t slotsAtStart, bool holesAtStart)
    {
        // The frames after which a compaction happens, in increasing order.
        std::uint32_t points[kVoicesPerTrack + 1];
        std::uint32_t count = 0;
        if (holesAtStart)
            points[count++] = 1;
        for (std::uint32_t s = 0; s < slotsAtStart; ++s) {
            if (sounded[s] != 0 && sounded[s] != kStillSounding)
                points[count++] = sounded[s];
        }
        std::sort(points, points + count);
        count = static_cast<std::uint32_t>(std::unique(points, points + count) - points);
        if (count <= 1) {
            // One compaction: the state it sees is the state at the end of the run.
            if (track.activeVoices < track.slotCount)
                CompactVoices(track);
            return;
        }
        for (std::uint32_t p = 0; p < count; ++p) {
            const std::uint32_t after = points[p];
            const auto active = [&](std::uint32_t slot) { return sounded[slot] > after; };
            std::uint32_t n = 0;
            for (std::uint32_t s = 0; s < kVoicesPerTrack; ++s)
                n += active(s) ? 1 : 0;
            CompactSlots(n, active, [&](std::uint32_t from, std::uint32_t to) {
                track.voices[to] = track.voices[from];
                track.voices[from].active = 0;
                sounded[to] = sounded[from];
                sounded[from] = 0;
            });
            track.slotCount = n;
        }
    }

    template <Kernel K, int Channels, class Isa>
    [[gnu::always_inline]] inline void RenderTrackFast(const Project& project, MixState& state,
        const Track& list, TrackMixState& track, std::int32_t* acc, std::uint32_t frames)
    {
        constexpr bool kSinc = K == Kernel::kSinc || K == Kernel::kSincLow;
        const audio::SincWeightTables* tables = kSinc ? audio::SincWeights() : nullptr;
        std::uint32_t sums[kRunFrames * Channels];
        for (std::uint32_t f = 0; f < frames;) {
            // Events of equal time take effect in list order, before the frame's samples.
            ApplyDueEvents(project, state, list, track);
            // The next event lies after the track's position (the sentinel
            // time included), so a run has at least one frame.
            const std::uint32_t run
                = std::min({ frames - f, kRunFrames, NextEventTime(list, track) - track.position });
            if (track.activeVoices > 0) {
                for (int c = 0; c < Channels; ++c)
                    std::fill_n(sums + c * kRunFrames, run, 0u);
                const std::uint32_t slots = track.slotCount;
                const bool holes = track.activeVoices < slots;
                std::uint32_t sounded[kVoicesPerTrack] = {};
                for (std::uint32_t i = 0; i < slots; ++i) {
                    Voice& v = track.voices[i];
                    if (v.active != 0)
                        sounded[i] = RenderVoice<K, Channels, Isa>(tables, track, v, sums, run);
                }
                // A frame after the last voice ended has zero sums and adds nothing.
                for (std::uint32_t j = 0; j < run; ++j) {
                    std::uint32_t frame[Channels];
                    for (int c = 0; c < Channels; ++c)
                        frame[c] = sums[c * kRunFrames + j];
                    AddTrackFrame<Channels>(track, frame, acc + std::size_t { f + j } * Channels);
                }
                CompactAsRun(track, sounded, slots, holes);
            } else if (track.slotCount > 0) {
                CompactVoices(track); // no voice: the slot count drops to 0
            }
            track.position += run;
            f += run;
        }
    }

    // One entry point per instruction set; the wider ones compile the whole
    // loop for their set.
    template <Kernel K, int Channels>
    void TrackPortable(const Project& project, MixState& state, const Track& list,
        TrackMixState& track, std::int32_t* acc, std::uint32_t frames)
    {
        RenderTrackFast<K, Channels, audio::simd::Portable>(
            project, state, list, track, acc, frames);
    }

#if VEL_HAVE_X86_VECTORS
    template <Kernel K, int Channels>
    void TrackSse2(const Project& project, MixState& state, const Track& list, TrackMixState& track,
        std::int32_t* acc, std::uint32_t frames)
    {
        RenderTrackFast<K, Channels, audio::simd::Sse2>(project, state, list, track, acc, frames);
    }

    template <Kernel K, int Channels>
    [[gnu::target("avx2")]] void TrackAvx2(const Project& project, MixState& state,
        const Track& list, TrackMixState& track, std::int32_t* acc, std::uint32_t frames)
    {
        RenderTrackFast<K, Channels, audio::simd::Avx2>(project, state, list, track, acc, frames);
    }

    template <Kernel K, int Channels>
    [[gnu::target("avx2,avx512f,avx512bw")]] void TrackAvx512(const Project& project,
        MixState& state, const Track& list, TrackMixState& track, std::int32_t* acc,
        std::uint32_t frames)
    {
        RenderTrackFast<K, Channels, audio::simd::Avx512>(project, state, list, track, acc, frames);
    }
#endif

    template <Kernel K> TrackRenderer FastFor(int channels, audio::VectorIsa isa)
    {
#if VEL_HAVE_X86_VECTORS
        constexpr bool kSinc = K == Kernel::kSinc || K == Kernel::kSincLow;
        // Only "Use sinc" has a use for 512-bit vectors (its 128 taps): the
        // others run their 256-bit loops on processors with AVX-512. Without
        // 256-bit vectors "None" and "Linear" run in plain code.
        if constexpr (K == Kernel::kSinc) {
            if (isa == audio::VectorIsa::kAvx512)
                return channels == 1 ? &TrackAvx512<K, 1> : &TrackAvx512<K, 2>;
        }
        if (isa == audio::VectorIsa::kAvx512 || isa == audio::VectorIsa::kAvx2)
            return channels == 1 ? &TrackAvx2<K, 1> : &TrackAvx2<K, 2>;
        if constexpr (kSinc) {
            if (isa == audio::VectorIsa::kSse2)
                return channels == 1 ? &TrackSse2<K, 1> : &TrackSse2<K, 2>;
        }
#endif
        static_cast<void>(isa);
        return channels == 1 ? &TrackPortable<K, 1> : &TrackPortable<K, 2>;
    }

} // namespace

TrackRenderer FastTrackRenderer(Kernel kernel, int channels, audio::VectorIsa isa)
{
    const bool sinc = kernel == Kernel::kSinc || kernel == Kernel::kSincLow;
    if (!audio::Supports(isa) || (sinc && audio::SincWeights() == nullptr))
        return ReferenceTrackRenderer(kernel, channels);
    switch (kernel) {
    case Kernel::kNone:
        return FastFor<Kernel::kNone>(channels, isa);
    case Kernel::kLinear:
        return FastFor<Kernel::kLinear>(channels, isa);
    case Kernel::kSincLow:
        return FastFor<Kernel::kSincLow>(channels, isa);
    case Kernel::kSinc:
        return FastFor<Kernel::kSinc>(channels, isa);
    }
    return nullptr;
}

} // namespace vellisto::engine
