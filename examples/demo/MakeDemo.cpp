// SPDX-License-Identifier: MIT
// Writes the demo project: a short drum pattern with a bass line that uses
// every kind of event. Usage: vellisto-make-demo OUT.spj
//
// Sound names begin with '\', so they are looked up in the project file's
// folder (the base path is left empty).

#include "model/EventList.h"
#include "model/ProjectFile.h"
#include "model/TextTable.h"

#include <cstdio>
#include <string>
#include <vector>

using namespace vellisto;

namespace {

constexpr std::uint32_t kRate = 44100;
constexpr std::uint32_t kBeatFrames = kRate / 2; // 120 beats per minute
constexpr std::uint32_t kBars = 4;
constexpr std::uint32_t kBeatsPerBar = 4;

enum DemoSound : std::uint32_t { kKick = 0, kSnare = 1, kHat = 2, kBass = 3 };

struct DemoSoundInfo {
    DemoSound id;
    const char16_t* fileName;
    std::uint32_t volume; // volume unit
};

constexpr DemoSoundInfo kSounds[] = {
    { kKick, u"\\kick.wav", 1024 },
    { kSnare, u"\\snare.wav", 900 },
    { kHat, u"\\hat.wav", 600 },
    { kBass, u"\\bass.wav", 1024 },
};

void SetName(Name& name, std::u16string_view text)
{
    name = {};
    std::copy(text.begin(), text.end(), name.begin());
}

void AddSounds(Project& project)
{
    for (const DemoSoundInfo& info : kSounds) {
        SoundSlot& slot = project.sounds[info.id];
        SetName(slot.fileName, info.fileName);
        slot.volume = info.volume;
        slot.pitch = 1u << 24;
        slot.loopBegin = kNoLoop;
        slot.loopEnd = kNoLoop;
    }
    // The bass is cut off by its Stop events with a short release.
    project.sounds[kBass].releaseTime = kRate / 50;
}

Event MakeEvent(std::uint32_t time, EventType type, std::uint32_t data1 = 0,
    std::uint32_t data2 = 0, std::uint32_t data3 = 0)
{
    return { kEventExists, time, EventTypeWord(type), data1, data2, data3 };
}

Event Play(std::uint32_t time, DemoSound sound, std::uint32_t volume, std::uint32_t pitch)
{
    return MakeEvent(time, EventType::kPlay, sound, volume, pitch);
}

// Fills a track with the given events, sorted by time (equal times keep
// their order).
bool SetTrack(Track& track, const std::vector<Event>& events)
{
    if (!ResetEvents(track, static_cast<std::uint32_t>(events.size())))
        return false;
    std::copy(events.begin(), events.end(), track.events.get());
    return SortByTime(track);
}

std::vector<Event> Drums()
{
    std::vector<Event> events;
    for (std::uint32_t beat = 0; beat < kBars * kBeatsPerBar; ++beat) {
        const std::uint32_t t = beat * kBeatFrames;
        events.push_back(Play(t, beat % 2 == 0 ? kKick : kSnare, 1024, 1u << 24));
        events.push_back(Play(t, kHat, 1024, 1u << 24));
        events.push_back(Play(t + kBeatFrames / 2, kHat, 512, 1u << 24));
    }
    return events;
}

std::vector<Event> Bass()
{
    // One note per bar, a fifth up in the third bar (pitch 1.5).
    const std::uint32_t pitches[kBars] = { 1u << 24, 1u << 24, 3u << 23, 1u << 24 };
    const std::uint32_t bar = kBeatsPerBar * kBeatFrames;
    std::vector<Event> events;
    for (std::uint32_t i = 0; i < kBars; ++i) {
        const std::uint32_t t = i * bar;
        events.push_back(Play(t, kBass, 1024, pitches[i]));
        events.push_back(MakeEvent(t + bar - kBeatFrames / 4, EventType::kStop, kBass, 0));
    }
    // Swing the bass from left to right, bend it down and fade it out.
    events.push_back(MakeEvent(0, EventType::kBalance, 256));
    events.push_back(MakeEvent(2 * bar, EventType::kBalance, 768));
    events.push_back(MakeEvent(3 * bar + 2 * kBeatFrames, EventType::kPitch, 15u << 20));
    events.push_back(MakeEvent(3 * bar, EventType::kVolume, 768));
    events.push_back(MakeEvent(kBars * bar, EventType::kAllStop));
    return events;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: vellisto-make-demo OUT.spj\n", stderr);
        return 2;
    }
    auto project = CreateProject();
    if (!project) {
        std::fprintf(stderr, "%s\n", std::string(Text(TextId::kOutOfMemory)).c_str());
        return 1;
    }
    project->settings.mixingInterpolation = static_cast<std::uint32_t>(Interpolation::kSincLow);
    project->settings.masterVolume = 900; // headroom for the drums and the bass together
    AddSounds(*project);
    if (!SetTrack(project->tracks[0], Drums()) || !SetTrack(project->tracks[1], Bass())) {
        std::fprintf(stderr, "%s\n", std::string(Text(TextId::kOutOfMemory)).c_str());
        return 1;
    }
    if (WriteProjectFile(*project, argv[1]) != ProjectWriteResult::kOk) {
        std::fprintf(stderr, "%s\n%s\n", std::string(Text(TextId::kFailedSaving)).c_str(), argv[1]);
        return 1;
    }
    return 0;
}
