// SPDX-License-Identifier: MIT
#include "audio/ConvertSound.h"

#include "audio/ConvertKernels.h"
#include "audio/WaveReader.h"

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

    template <Interpolation I, int Bits> ConvertFunction SelectForMap(ChannelMap map)
    {
        switch (map) {
        case ChannelMap::kMonoToMono:
            return &convert::ConvertFrames<I, Bits, ChannelMap::kMonoToMono>;
        case ChannelMap::kStereoToStereo:
            return &convert::ConvertFrames<I, Bits, ChannelMap::kStereoToStereo>;
        case ChannelMap::kMonoToStereo:
            return &convert::ConvertFrames<I, Bits, ChannelMap::kMonoToStereo>;
        case ChannelMap::kStereoToMono:
            return &convert::ConvertFrames<I, Bits, ChannelMap::kStereoToMono>;
        }
        return nullptr;
    }

    template <Interpolation I> ConvertFunction SelectForWidth(const ConversionPlan& plan)
    {
        return plan.inputBits == 8 ? SelectForMap<I, 8>(plan.channelMap)
                                   : SelectForMap<I, 16>(plan.channelMap);
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
    switch (plan.interpolation) {
    case Interpolation::kNone:
        return SelectForWidth<Interpolation::kNone>(plan);
    case Interpolation::kLinear:
        return SelectForWidth<Interpolation::kLinear>(plan);
    case Interpolation::kSincLow:
        return SelectForWidth<Interpolation::kSincLow>(plan);
    case Interpolation::kSinc:
        return SelectForWidth<Interpolation::kSinc>(plan);
    }
    return nullptr;
}

void RunConversion(const ConversionPlan& plan, const std::uint8_t* input, std::uint8_t* output)
{
    SelectConverter(plan)(input, output, plan.outputFrames, plan.stepFx24);
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
