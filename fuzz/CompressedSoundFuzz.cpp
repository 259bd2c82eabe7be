// SPDX-License-Identifier: MIT
// Any bytes given to the compressed-sound decoder must be refused with a
// reason and no samples, or give 16-bit PCM of one or two channels in whole
// frames with zero guard zones, within the size limit set here: a hostile
// stream cannot make the decoder hold more than that.

#include "FuzzSupport.h"
#include "audio/SoundFileReader.h"
#include "audio/WaveReader.h"

#include <cstdint>

using namespace vellisto;
using fuzz::Check;

namespace {

// Far above any seed's sound, far below the memory the fuzzer allows.
constexpr std::uint64_t kLimitBytes = std::uint64_t { 16 } << 20;

} // namespace

// The Vorbis reader of the Debian libsndfile (1.2.0) leaks its stream
// information block (some 6 KB) when a stream ends inside its headers: the
// file is refused as it should be, but the block is never freed. That leak
// is the library's and bounded per refused file; it is the only one let pass.
extern "C" const char* __lsan_default_suppressions() { return "leak:vorbis_info_init\n"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SoundSlot sound;
    platform::ReadError reason;
    if (!audio::DecodeCompressedSound({ data, size }, sound, &reason, kLimitBytes)) {
        Check(sound.samples == nullptr && sound.sampleBytes == 0);
        fuzz::CheckReason(reason, size);
        return 0;
    }
    const OutputFormat& f = sound.dataFormat;
    Check(f.formatTag == kFormatPcm && f.bitsPerSample == 16);
    Check((f.channels == 1 || f.channels == 2) && f.blockAlign == 2 * f.channels);
    Check(f.samplesPerSecond != 0);
    Check(sound.sampleBytes <= kLimitBytes && sound.sampleBytes % f.blockAlign == 0);
    Check(fuzz::GuardZonesAreZero(sound));
    audio::FreeSampleData(sound);
    return 0;
}
