// SPDX-License-Identifier: MIT
// Any bytes read as a WAVE file must fail cleanly or give samples with zero
// guard zones that convert to the output format and can be measured without
// reading outside their block.

#include "audio/BaseFrequency.h"
#include "audio/ConvertSound.h"
#include "audio/SincTables.h"
#include "audio/WaveReader.h"

#include <cstdint>
#include <cstdlib>

using namespace vellisto;
using namespace vellisto::audio;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    BuildSincTables();
    SoundSlot sound;
    if (!ParseWaveFile({ data, size }, sound)) {
        if (sound.samples != nullptr)
            std::abort();
        return 0;
    }
    if (sound.samples == nullptr)
        return 0;
    for (std::size_t i = 1; i <= kGuardBytes; ++i) {
        if (sound.samples[-static_cast<std::ptrdiff_t>(i)] != 0
            || sound.samples[sound.sampleBytes + i - 1] != 0)
            std::abort();
    }
    // Keep the work per input small: the fuzzer chooses the rates.
    if (static_cast<std::uint64_t>(sound.sampleBytes) * 44100 / sound.dataFormat.samplesPerSecond
        > (1u << 20))
        return 0;
    const std::uint32_t interpolation = size % 4;
    if (ConvertSound(sound, kDefaultOutputFormat, interpolation))
        DetermineBaseFrequency(sound, kNoLoop, kNoLoop);
    return 0;
}
