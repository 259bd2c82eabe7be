// SPDX-License-Identifier: MIT
#include "import/BmsProject.h"

#include "model/EventList.h"
#include "model/FixedPoint.h"

#include <algorithm>
#include <cmath>

namespace vellisto::import {

namespace {

    // "\" + name, cut so that it fits a name field with its terminating
    // zero; a surrogate pair is never split.
    void SetSoundFileName(Name& fileName, std::u16string_view name)
    {
        fileName = {};
        fileName[0] = u'\\';
        std::size_t length = std::min(name.size(), kNameUnits - 2);
        if (length < name.size() && length > 0 && name[length - 1] >= 0xD800
            && name[length - 1] <= 0xDBFF)
            --length;
        std::copy_n(name.begin(), length, fileName.begin() + 1);
    }

    // The folder of a chart path: everything before its last separator. A
    // folder too long for the field is left out: an empty base path means the
    // folder of the document, which is the chart's own.
    void SetBasePath(Name& basePath, std::u16string_view chartPath)
    {
        basePath = {};
        const std::size_t separator = chartPath.find_last_of(u"/\\");
        const std::u16string_view folder
            = separator == std::u16string_view::npos ? chartPath : chartPath.substr(0, separator);
        if (folder.size() < kNameUnits)
            std::copy(folder.begin(), folder.end(), basePath.begin());
    }

} // namespace

void DefineBmsSound(SoundSlot& slot, std::u16string_view name)
{
    SetSoundFileName(slot.fileName, name);
    slot.volume = kVolumeOne;
    slot.pitch = kPitchOne;
    slot.loopBegin = kNoLoop;
    slot.loopEnd = kNoLoop;
}

void SetBmsSettings(Project& project, std::u16string_view chartPath)
{
    SetBasePath(project.settings.basePath, chartPath);
    project.settings.mixingInterpolation = static_cast<std::uint32_t>(Interpolation::kNone);
    project.settings.playingPriority = 1; // "Play newer"
}

bool ResetBmsTracks(Project& project, TrackAppenders& appenders)
{
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        if (!ResetEvents(project.tracks[t], 0))
            return false;
        appenders[t].emplace(project.tracks[t], 0);
    }
    return true;
}

bool FinishBmsTracks(Project& project, std::uint32_t allStopTime)
{
    std::uint32_t filled = 0;
    for (Track& track : project.tracks) {
        if (!RemoveByMask(track, kEventSelected))
            return false;
        filled += track.count > 0 ? 1 : 0;
    }
    // With no notes at all the volume stays at 1.0.
    project.settings.masterVolume = filled == 0
        ? static_cast<std::uint32_t>(kVolumeOne)
        : static_cast<std::uint32_t>(std::trunc(1024.0 / std::sqrt(static_cast<double>(filled))));

    const Event allStop { kEventExists, allStopTime, EventTypeWord(EventType::kAllStop), 0, 0, 0 };
    for (Track& track : project.tracks) {
        if (track.count == 0)
            continue;
        if (!InsertSorted(track, allStop) || !SortByTime(track))
            return false;
    }
    return true;
}

} // namespace vellisto::import
