// SPDX-License-Identifier: MIT
// Any bytes that read as a WAVE file (see the wave-reader target for the
// reading itself) give samples that are converted to a few output formats
// with every loading interpolation: each conversion keeps its guard zones
// zero, has the planned length, is the same bytes from the reference loop and
// from the fast loops in every instruction set (whole and cut into pieces) and,
// at an unchanged rate, reproduces the input frames exactly. The result can
// be measured without reading outside its block.

#include "FuzzSupport.h"
#include "audio/BaseFrequency.h"
#include "audio/ConvertSound.h"
#include "audio/SincTables.h"
#include "audio/WaveReader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

using namespace vellisto;
using namespace vellisto::audio;
using fuzz::Check;

namespace {

// Keeps the work per input small: the file chooses the rates, so a tiny file
// may stand for a long sound.
constexpr std::uint32_t kMaxOutputBytes = 1u << 14;
// The loops are compared on shorter outputs only: the reference sinc loop
// divides per tap and would slow every input down tenfold.
constexpr std::uint32_t kMaxComparedBytes = 1u << 12;

constexpr OutputFormat kOutputs[] = {
    { 1, 2, 44100, 176400, 4, 16, 0 },
    { 1, 1, 22050, 44100, 2, 16, 0 },
    { 1, 2, 48000, 192000, 4, 16, 0 },
    { 1, 1, 8000, 16000, 2, 16, 0 },
};

bool SameFormat(const OutputFormat& a, const OutputFormat& b)
{
    return SameFormatKey(a, b) && a.extraSize == b.extraSize;
}

// A second slot holding a copy of the sound's samples and format.
bool CopySound(const SoundSlot& from, SoundSlot& to)
{
    to.dataFormat = from.dataFormat;
    if (from.samples == nullptr)
        return true;
    to.samples = AllocateSampleBlock(from.sampleBytes);
    if (to.samples == nullptr)
        return false;
    std::memcpy(to.samples, from.samples, from.sampleBytes);
    to.sampleBytes = from.sampleBytes;
    return true;
}

// At an unchanged rate every interpolation copies whole input frames, widened
// to 16 bits, when a frame is exactly its samples.
void CheckUnchangedRate(const SoundSlot& input, const SoundSlot& output, const ConversionPlan& plan)
{
    const OutputFormat& in = input.dataFormat;
    if (in.samplesPerSecond != output.dataFormat.samplesPerSecond
        || in.channels != output.dataFormat.channels
        || in.blockAlign != in.channels * in.bitsPerSample / 8)
        return;
    Check(plan.outputFrames == plan.inputFrames);
    const std::uint32_t samples = plan.outputFrames * in.channels;
    for (std::uint32_t i = 0; i < samples; ++i) {
        const std::int32_t expected = in.bitsPerSample == 8
            ? static_cast<std::int8_t>(input.samples[i]) * 256
            : static_cast<std::int16_t>(input.samples[2 * i] | input.samples[2 * i + 1] << 8);
        const auto actual
            = static_cast<std::int16_t>(output.samples[2 * i] | output.samples[2 * i + 1] << 8);
        Check(actual == expected);
    }
}

void CheckLoopsAgree(const SoundSlot& input, const SoundSlot& output, const ConversionPlan& plan)
{
    if (plan.outputBytes == 0 || plan.outputBytes > kMaxComparedBytes)
        return;
    static const auto isas = SupportedVectorIsas();
    std::vector<ConversionRun> runs { { KernelPath::kReference, VectorIsa::kPortable, 1, 1 },
        { KernelPath::kFast, VectorIsa::kPortable, 2, 1 } };
    for (const VectorIsa isa : isas)
        runs.push_back({ KernelPath::kFast, isa, 1, 1 });
    std::vector<std::uint8_t> bytes(plan.outputBytes);
    for (const ConversionRun& run : runs) {
        std::fill(bytes.begin(), bytes.end(), 0xA5);
        RunConversion(plan, input.samples, bytes.data(), run);
        Check(std::memcmp(bytes.data(), output.samples, bytes.size()) == 0);
    }
}

void CheckConversions(const SoundSlot& sound)
{
    for (const OutputFormat& output : kOutputs) {
        for (std::uint32_t interpolation = 0; interpolation <= 3; ++interpolation) {
            const auto plan
                = PlanConversion(sound.dataFormat, sound.sampleBytes, output, interpolation);
            if (!plan || plan->outputBytes > kMaxOutputBytes)
                continue;
            SoundSlot converted;
            if (!CopySound(sound, converted))
                return;
            if (!ConvertSound(converted, output, interpolation))
                continue; // only an allocation can fail once a plan exists
            Check(SameFormat(converted.dataFormat, output));
            Check(converted.sampleBytes == plan->outputBytes);
            Check(fuzz::GuardZonesAreZero(converted));
            CheckLoopsAgree(sound, converted, *plan);
            CheckUnchangedRate(sound, converted, *plan);
            if (interpolation == 3)
                DetermineBaseFrequency(converted, kNoLoop, kNoLoop);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    BuildSincTables();
    SoundSlot sound;
    if (!ParseWaveFile({ data, size }, sound) || sound.samples == nullptr)
        return 0;
    CheckConversions(sound);
    return 0;
}
