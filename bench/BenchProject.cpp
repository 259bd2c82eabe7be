// SPDX-License-Identifier: MIT
#include "BenchProject.h"

#include "model/EventList.h"
#include "model/FixedPoint.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <random>
#include <vector>

namespace vellisto::bench {

namespace {
    constexpr std::uint32_t kSounds = 32;
    constexpr std::uint32_t kSoundFrames = 88200;
}

std::unique_ptr<Project> MakeMixProject(
    std::uint16_t channels, Interpolation interpolation, bool risingEnvelope, std::uint32_t voices)
{
    constexpr auto kTracks = static_cast<std::uint32_t>(kTrackCount);
    voices = std::clamp<std::uint32_t>(
        voices, 1, kTracks * static_cast<std::uint32_t>(vellisto::kVoicesPerTrack));
    const std::uint32_t perTrack = std::max(kVoicesPerTrack, (voices + kTracks - 1) / kTracks);
    std::unique_ptr<Project> project = CreateProject();
    ProjectSettings& s = project->settings;
    s.outputFormat.channels = channels;
    CompleteOutputFormat(s.outputFormat);
    s.mixingInterpolation = static_cast<std::uint32_t>(interpolation);
    s.soundCountPerTrack = perTrack;
    s.bufferLength = kBlockFrames;

    std::mt19937 rng(12345);
    std::vector<std::int16_t> samples(std::size_t { kSoundFrames } * channels);
    for (std::uint32_t id = 0; id < kSounds; ++id) {
        for (std::int16_t& v : samples)
            v = static_cast<std::int16_t>(static_cast<int>(rng() % 16001) - 8000);
        SoundSlot& sound = project->sounds[id];
        sound.samples = AllocateSampleBlock(samples.size() * 2);
        std::memcpy(sound.samples, samples.data(), samples.size() * 2);
        sound.sampleBytes = static_cast<std::uint32_t>(samples.size() * 2);
        sound.dataFormat = s.outputFormat;
        sound.volume = 1024;
        sound.pitch = kPitchOne;
        sound.loopBegin = 0; // loops over everything: the voices never end
        sound.loopEnd = kSoundFrames;
        // An attack longer than any run of the benchmark: the voices never leave it.
        sound.attackTime = risingEnvelope ? 0xFFFFFFFFu : 0;
    }
    for (Track& track : project->tracks) {
        const std::uint32_t count = std::min(perTrack, voices);
        voices -= count;
        if (count == 0)
            break;
        for (std::uint32_t v = 0; v < count; ++v) {
            const std::uint32_t pitch
                = kPitchOne / 2 + static_cast<std::uint32_t>(rng() % (kPitchOne * 3 / 2));
            InsertSorted(track,
                Event { kEventExists, 0, EventTypeWord(EventType::kPlay),
                    static_cast<std::uint32_t>(rng() % kSounds), 64, pitch });
        }
        InsertSorted(track,
            Event { kEventExists, kMaxEditTime, EventTypeWord(EventType::kVolume), 1024, 0, 0 });
    }
    return project;
}

std::uint8_t* MakeStereoTones(std::uint32_t rate, std::uint32_t frames)
{
    std::uint8_t* samples = AllocateSampleBlock(std::uint64_t { frames } * 4);
    if (samples == nullptr)
        return nullptr;
    const double pi = std::numbers::pi;
    for (std::uint32_t i = 0; i < frames; ++i) {
        const auto left
            = static_cast<std::uint16_t>(std::lround(20000 * std::sin(2 * pi * 440 * i / rate)));
        const auto right
            = static_cast<std::uint16_t>(std::lround(20000 * std::sin(2 * pi * 660 * i / rate)));
        samples[4 * i] = static_cast<std::uint8_t>(left);
        samples[4 * i + 1] = static_cast<std::uint8_t>(left >> 8);
        samples[4 * i + 2] = static_cast<std::uint8_t>(right);
        samples[4 * i + 3] = static_cast<std::uint8_t>(right >> 8);
    }
    return samples;
}

} // namespace vellisto::bench
