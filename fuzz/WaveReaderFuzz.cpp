// SPDX-License-Identifier: MIT
// Any bytes read as a WAVE file must fail cleanly, with a reason that points
// inside the input, or give PCM samples of 8 or 16 bits with zero guard
// zones. Reading only: the conversions of what was read are the
// wave-convert target's, whose work per input is far larger.

#include "FuzzSupport.h"
#include "audio/WaveReader.h"

#include <cstdint>

using namespace vellisto;
using namespace vellisto::audio;
using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SoundSlot sound;
    platform::ReadError reason;
    if (!ParseWaveFile({ data, size }, sound, &reason)) {
        Check(sound.samples == nullptr && sound.sampleBytes == 0);
        fuzz::CheckReason(reason, size);
        return 0;
    }
    Check(fuzz::GuardZonesAreZero(sound));
    if (sound.samples == nullptr)
        return 0;
    const OutputFormat& f = sound.dataFormat;
    Check(f.formatTag == kFormatPcm && (f.bitsPerSample == 8 || f.bitsPerSample == 16));
    Check(f.blockAlign != 0 && f.samplesPerSecond != 0);
    Check(sound.sampleBytes <= size);
    return 0;
}
