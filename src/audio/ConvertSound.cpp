// SPDX-License-Identifier: MIT
#include "audio/ConvertSound.h"

#include "audio/ConvertKernels.h"
#include "audio/SincDot.h"
#include "audio/SincWeights.h"
#include "audio/WaveReader.h"

#include <algorithm>
#include <new>
#include <thread>
#include <vector>

namespace vellisto::audio {

namespace {

    std::optional<ChannelMap> MapChannels(std::uint16_t in, std::uint16_t out)
    {
        if (in == 1 && out == 1)
            return ChannelMap::kMonoToMono;
        if (in == 2 && out == 2)
            return ChannelMap::kStereoToStereo;
        if (in == 1 && out == 2)
            return ChannelMap::kMonoToStereo;
        if (in == 2 && out == 1)
            return ChannelMap::kStereoToMono;
        return std::nullopt;
    }

    // The loops of one family, chosen once per conversion: Family::Loop<I,
    // Bits, Map> for every combination.
    template <class Family, Interpolation I, int Bits> ConvertFunction SelectForMap(ChannelMap map)
    {
        switch (map) {
        case ChannelMap::kMonoToMono:
            return &Family::template Loop<I, Bits, ChannelMap::kMonoToMono>;
        case ChannelMap::kStereoToStereo:
            return &Family::template Loop<I, Bits, ChannelMap::kStereoToStereo>;
        case ChannelMap::kMonoToStereo:
            return &Family::template Loop<I, Bits, ChannelMap::kMonoToStereo>;
        case ChannelMap::kStereoToMono:
            return &Family::template Loop<I, Bits, ChannelMap::kStereoToMono>;
        }
        return nullptr;
    }

    template <class Family, Interpolation I>
    ConvertFunction SelectForWidth(const ConversionPlan& plan)
    {
        return plan.inputBits == 8 ? SelectForMap<Family, I, 8>(plan.channelMap)
                                   : SelectForMap<Family, I, 16>(plan.channelMap);
    }

    template <class Family> ConvertFunction SelectIn(const ConversionPlan& plan)
    {
        switch (plan.interpolation) {
        case Interpolation::kNone:
            return SelectForWidth<Family, Interpolation::kNone>(plan);
        case Interpolation::kLinear:
            return SelectForWidth<Family, Interpolation::kLinear>(plan);
        case Interpolation::kSincLow:
            return SelectForWidth<Family, Interpolation::kSincLow>(plan);
        case Interpolation::kSinc:
            return SelectForWidth<Family, Interpolation::kSinc>(plan);
        }
        return nullptr;
    }

    struct ReferenceLoops {
        template <Interpolation I, int Bits, ChannelMap Map>
        static void Loop(const std::uint8_t* input, std::uint8_t* output, std::uint32_t first,
            std::uint32_t frames, std::uint32_t stepFx24)
        {
            convert::ConvertFrames<I, Bits, Map>(input, output, first, frames, stepFx24);
        }
    };

    // The sinc sums from a row of the weight tables and a dot product of the
    // instruction set Isa: the same wrapping sums as DividedWeights.
    template <class Isa, int Taps> struct TabledWeights {
        const std::int16_t* table; // rows of Taps weights

        template <int Bits, int Channels>
        [[gnu::always_inline]] void sums(
            const std::uint8_t* firstTap, std::uint32_t phi, std::uint32_t (&out)[Channels]) const
        {
            Isa::template Dot<Taps, Channels, Bits>(
                table + std::size_t { phi } * Taps, firstTap, out);
        }
    };

    // The reference loop around table weights. Only the sinc kernels differ;
    // the tables exist (SelectConverter checks) before a loop is chosen.
    template <class Isa, Interpolation I, int Bits, ChannelMap Map>
    [[gnu::always_inline]] inline void FastLoopBody(const std::uint8_t* input, std::uint8_t* output,
        std::uint32_t first, std::uint32_t frames, std::uint32_t stepFx24)
    {
        const SincWeightTables& weights = *SincWeights();
        if constexpr (I == Interpolation::kSinc) {
            convert::ConvertFramesWith<I, Bits, Map>(
                TabledWeights<Isa, kHighResTaps> { weights.highRes }, input, output, first, frames,
                stepFx24);
        } else {
            convert::ConvertFramesWith<I, Bits, Map>(
                TabledWeights<Isa, kLowResTaps> { weights.lowRes }, input, output, first, frames,
                stepFx24);
        }
    }

    template <class Isa> struct FastLoops {
        template <Interpolation I, int Bits, ChannelMap Map>
        static void Loop(const std::uint8_t* input, std::uint8_t* output, std::uint32_t first,
            std::uint32_t frames, std::uint32_t stepFx24)
        {
            FastLoopBody<Isa, I, Bits, Map>(input, output, first, frames, stepFx24);
        }
    };

#if VEL_HAVE_X86_VECTORS
    // The whole loop is compiled for the wider instruction sets.
    template <> struct FastLoops<simd::Avx2> {
        template <Interpolation I, int Bits, ChannelMap Map>
        [[gnu::target("avx2")]] static void Loop(const std::uint8_t* input, std::uint8_t* output,
            std::uint32_t first, std::uint32_t frames, std::uint32_t stepFx24)
        {
            FastLoopBody<simd::Avx2, I, Bits, Map>(input, output, first, frames, stepFx24);
        }
    };
    template <> struct FastLoops<simd::Avx512> {
        template <Interpolation I, int Bits, ChannelMap Map>
        [[gnu::target("avx2,avx512f,avx512bw")]] static void Loop(const std::uint8_t* input,
            std::uint8_t* output, std::uint32_t first, std::uint32_t frames, std::uint32_t stepFx24)
        {
            FastLoopBody<simd::Avx512, I, Bits, Map>(input, output, first, frames, stepFx24);
        }
    };
#endif

    template <class Family> ConvertFunction SelectSinc(const ConversionPlan& plan)
    {
        return plan.interpolation == Interpolation::kSinc
            ? SelectForWidth<Family, Interpolation::kSinc>(plan)
            : SelectForWidth<Family, Interpolation::kSincLow>(plan);
    }

    // The fast loop of a sinc plan.
    ConvertFunction SelectFastSinc(const ConversionPlan& plan, VectorIsa isa)
    {
        switch (isa) {
#if VEL_HAVE_X86_VECTORS
        case VectorIsa::kAvx512:
            return SelectSinc<FastLoops<simd::Avx512>>(plan);
        case VectorIsa::kAvx2:
            return SelectSinc<FastLoops<simd::Avx2>>(plan);
        case VectorIsa::kSse2:
            return SelectSinc<FastLoops<simd::Sse2>>(plan);
#endif
        default:
            return SelectSinc<FastLoops<simd::Portable>>(plan);
        }
    }

} // namespace

std::optional<ConversionPlan> PlanConversion(const OutputFormat& input, std::uint32_t inputBytes,
    const OutputFormat& output, std::uint32_t loadingInterpolation)
{
    if (output.bitsPerSample != 16)
        return std::nullopt; // the converter writes nothing else
    if (input.bitsPerSample != 8 && input.bitsPerSample != 16)
        return std::nullopt;
    if (loadingInterpolation > static_cast<std::uint32_t>(Interpolation::kSinc))
        return std::nullopt;
    const auto map = MapChannels(input.channels, output.channels);
    if (!map)
        return std::nullopt;
    // A frame of samples is read with the stride its channels and width give;
    // a block align below that would count more frames than the block holds.
    const std::uint32_t frameBytes = input.channels * (input.bitsPerSample / 8u);
    if (input.blockAlign == 0 || input.blockAlign < frameBytes)
        return std::nullopt;
    const std::uint64_t inRate = input.samplesPerSecond;
    const std::uint64_t outRate = output.samplesPerSecond;
    // The step keeps 32 bits: an input rate of 256 or more times the output
    // rate could not advance correctly.
    if (inRate == 0 || outRate == 0 || inRate >= 256 * outRate)
        return std::nullopt;

    ConversionPlan plan;
    plan.interpolation = static_cast<Interpolation>(loadingInterpolation);
    plan.inputBits = input.bitsPerSample;
    plan.channelMap = *map;
    plan.stepFx24 = static_cast<std::uint32_t>((inRate << 24) / outRate); // floor: never ahead
    plan.inputFrames = inputBytes / input.blockAlign;
    // floor(input frames x output rate / input rate) with a 64-bit product.
    const std::uint64_t outputFrames = plan.inputFrames * outRate / inRate;
    const std::uint64_t outputBytes = outputFrames * output.channels * 2;
    if (outputBytes > 0xFFFFFFFFull - 2 * kGuardBytes)
        return std::nullopt;
    plan.outputFrames = static_cast<std::uint32_t>(outputFrames);
    plan.outputBytes = static_cast<std::uint32_t>(outputBytes);
    return plan;
}

ConvertFunction SelectConverter(const ConversionPlan& plan)
{
    return SelectIn<ReferenceLoops>(plan);
}

ConvertFunction SelectConverter(const ConversionPlan& plan, KernelPath path, VectorIsa isa)
{
    const bool sinc = plan.interpolation == Interpolation::kSinc
        || plan.interpolation == Interpolation::kSincLow;
    if (path == KernelPath::kReference || !sinc || !Supports(isa) || SincWeights() == nullptr)
        return SelectConverter(plan);
    return SelectFastSinc(plan, isa);
}

void RunConversion(const ConversionPlan& plan, const std::uint8_t* input, std::uint8_t* output,
    const ConversionRun& run)
{
    const ConvertFunction convert = SelectConverter(plan, run.path, run.isa);
    const std::uint32_t frames = plan.outputFrames;
    const std::uint32_t pieces
        = std::max(1u, std::min(run.threads, frames / std::max(1u, run.minFramesPerThread)));
    // Pieces 1.. run on threads of their own, piece 0 here; a piece whose
    // thread cannot be started runs here too.
    const auto first = [&](std::uint32_t piece) {
        return static_cast<std::uint32_t>(std::uint64_t { frames } * piece / pieces);
    };
    std::vector<std::thread> threads;
    for (std::uint32_t piece = 1; piece < pieces; ++piece) {
        const std::uint32_t begin = first(piece);
        const std::uint32_t count = first(piece + 1) - begin;
        try {
            threads.emplace_back(convert, input, output, begin, count, plan.stepFx24);
        } catch (...) { // no memory or no thread
            convert(input, output, begin, count, plan.stepFx24);
        }
    }
    convert(input, output, 0, first(1), plan.stepFx24);
    for (std::thread& thread : threads)
        thread.join();
}

bool ConvertSound(SoundSlot& sound, const OutputFormat& output, std::uint32_t loadingInterpolation)
{
    const auto plan
        = PlanConversion(sound.dataFormat, sound.sampleBytes, output, loadingInterpolation);
    if (!plan || (sound.samples == nullptr && sound.sampleBytes != 0))
        return false;
    std::uint8_t* converted = AllocateSampleBlock(plan->outputBytes); // guard zones zeroed
    if (converted == nullptr)
        return false;
    RunConversion(*plan, sound.samples, converted);
    FreeSampleData(sound);
    sound.samples = converted;
    sound.sampleBytes = plan->outputBytes;
    sound.dataFormat = output;
    return true;
}

} // namespace vellisto::audio
