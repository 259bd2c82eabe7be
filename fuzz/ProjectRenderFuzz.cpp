// SPDX-License-Identifier: MIT
// Any project file that reads must also mix: its settings, sound settings and
// events (volumes, pitches, loops, envelopes, links, unknown types) are
// rendered over short stretches, before and after a seek, with small test
// sounds in every slot that events can name first. Nothing may overflow, read
// outside a sample block or run away; preparing again and rendering the same
// stretch gives the same frames, with the reference loops and with the fast
// loops in every instruction set this processor runs.

#include "FuzzSupport.h"
#include "audio/Acceleration.h"
#include "audio/SincTables.h"
#include "engine/Mixer.h"
#include "model/ProjectFile.h"

#include <algorithm>
#include <cstdint>
#include <vector>

using namespace vellisto;
using fuzz::Check;

namespace {

constexpr std::uint32_t kSoundsGiven = 16;
constexpr std::uint32_t kSoundFrames = 64;
// Short stretches keep the work per input small: up to 64 tracks of 64
// voices may sound, each with a 128-tap kernel.
constexpr std::uint32_t kRenderFrames = 96;

// A full-scale zigzag in the output format, so that gains and sums meet the
// extremes of the sample range.
void GiveSound(SoundSlot& slot, const OutputFormat& format)
{
    const std::uint32_t channels = format.channels;
    slot.dataFormat = format;
    slot.sampleBytes = kSoundFrames * channels * 2;
    slot.samples = AllocateSampleBlock(slot.sampleBytes);
    Check(slot.samples != nullptr);
    for (std::uint32_t i = 0; i < kSoundFrames * channels; ++i) {
        const std::uint16_t v = i % 2 == 0 ? 0x7FFF : 0x8000;
        slot.samples[2 * i] = static_cast<std::uint8_t>(v);
        slot.samples[2 * i + 1] = static_cast<std::uint8_t>(v >> 8);
    }
}

std::vector<std::int16_t> Render(Project& project, std::uint32_t from)
{
    std::vector<std::int16_t> frames(kRenderFrames * 2, 0);
    static MixState state; // kept between inputs: PrepareMix resets it
    if (!engine::PrepareMix(project, state, true))
        return {};
    const engine::RenderSetup setup = engine::ChooseRenderSetup(state.settings);
    engine::SeekMix(project, state, 0);
    engine::RenderMix(project, state, setup, frames.data(), kRenderFrames);
    engine::SeekMix(project, state, from);
    std::vector<std::int16_t> more(kRenderFrames * 2, 0);
    engine::RenderMix(project, state, setup, more.data(), kRenderFrames);
    frames.insert(frames.end(), more.begin(), more.end());
    return frames;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    audio::BuildSincTables();
    static const auto isas = audio::SupportedVectorIsas();
    Project& project = fuzz::ReusedProject<0>();
    if (!ParseProjectFile({ data, size }, project))
        return 0;
    const OutputFormat& format = project.settings.outputFormat;
    // Sounds exist only in the format they are mixed in: 16 bits, 1 or 2 channels.
    if (format.bitsPerSample == 16 && (format.channels == 1 || format.channels == 2)) {
        for (std::uint32_t id = 0; id < kSoundsGiven; ++id)
            GiveSound(project.sounds[id], format);
    }
    // Seek to a little after the first event of the first track that has one.
    std::uint32_t from = kRenderFrames;
    for (const Track& track : project.tracks) {
        if (track.count > 0) {
            from = std::min<std::uint32_t>(track.events[0].time, 0x7FFFFFF0u) + 7;
            break;
        }
    }
    audio::SetKernelPath(audio::KernelPath::kReference);
    const auto reference = Render(project, from);
    audio::SetKernelPath(audio::KernelPath::kFast);
    for (const audio::VectorIsa isa : isas) {
        audio::SetVectorIsa(isa);
        Check(Render(project, from) == reference);
    }
    return 0;
}
