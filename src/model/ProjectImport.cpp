// SPDX-License-Identifier: MIT
#include "model/ProjectImport.h"

#include "model/EventList.h"

#include <algorithm>

namespace vellisto {

namespace {

    // value x to / from with a 64-bit product and unsigned division, clamped to ceiling.
    std::uint32_t Rescale(
        std::uint32_t value, std::uint32_t toRate, std::uint32_t fromRate, std::uint64_t ceiling)
    {
        if (fromRate == 0)
            return value;
        const std::uint64_t scaled = std::uint64_t { value } * toRate / fromRate;
        return static_cast<std::uint32_t>(std::min(scaled, ceiling));
    }

} // namespace

std::uint32_t RescaleSoundFrames(std::uint32_t frames, std::uint32_t toRate, std::uint32_t fromRate)
{
    return Rescale(frames, toRate, fromRate, 0xFFFFFFFFull);
}

std::uint32_t RescaleEventTime(std::uint32_t time, std::uint32_t toRate, std::uint32_t fromRate)
{
    return Rescale(time, toRate, fromRate, kMaxEditTime);
}

void RescaleSoundTimes(SoundSlot& slot, std::uint32_t toRate, std::uint32_t fromRate)
{
    for (std::uint32_t* frames :
        { &slot.loopBegin, &slot.loopEnd, &slot.attackTime, &slot.sustainTime, &slot.releaseTime })
        *frames = RescaleSoundFrames(*frames, toRate, fromRate);
}

void RescaleTrackTimes(Track& track, std::uint32_t toRate, std::uint32_t fromRate)
{
    for (std::uint32_t i = 0; i < track.count; ++i)
        track.events[i].time = RescaleEventTime(track.events[i].time, toRate, fromRate);
}

void CopySoundSettings(SoundSlot& dst, const SoundSlot& src)
{
    dst.fileName = src.fileName;
    dst.setWords(src.words());
}

bool CopyTrackEvents(Track& dst, const Track& src)
{
    if (!ResetEvents(dst, src.count))
        return false;
    std::copy_n(src.events.get(), src.count, dst.events.get());
    return true;
}

void CopySoundList(Project& dst, const Project& src)
{
    const std::uint32_t toRate = dst.settings.outputFormat.samplesPerSecond;
    const std::uint32_t fromRate = src.settings.outputFormat.samplesPerSecond;
    for (std::size_t i = 0; i < kSoundCount; ++i) {
        CopySoundSettings(dst.sounds[i], src.sounds[i]);
        RescaleSoundTimes(dst.sounds[i], toRate, fromRate);
    }
}

bool CopyTrackList(Project& dst, const Project& src)
{
    const std::uint32_t toRate = dst.settings.outputFormat.samplesPerSecond;
    const std::uint32_t fromRate = src.settings.outputFormat.samplesPerSecond;
    for (std::size_t i = 0; i < kTrackCount; ++i) {
        if (!CopyTrackEvents(dst.tracks[i], src.tracks[i]))
            return false;
        RescaleTrackTimes(dst.tracks[i], toRate, fromRate);
    }
    return true;
}

void RescaleProjectTimes(Project& project, std::uint32_t newRate)
{
    const std::uint32_t oldRate = project.settings.outputFormat.samplesPerSecond;
    for (SoundSlot& slot : project.sounds)
        RescaleSoundTimes(slot, newRate, oldRate);
    for (Track& track : project.tracks)
        RescaleTrackTimes(track, newRate, oldRate);
}

bool CopyStoredParts(Project& dst, const Project& src)
{
    for (std::size_t i = 0; i < kSoundCount; ++i)
        CopySoundSettings(dst.sounds[i], src.sounds[i]);
    for (std::size_t i = 0; i < kTrackCount; ++i) {
        if (!CopyTrackEvents(dst.tracks[i], src.tracks[i]))
            return false;
        dst.tracks[i].flags = src.tracks[i].flags;
    }
    dst.settings = src.settings;
    return true;
}

} // namespace vellisto
