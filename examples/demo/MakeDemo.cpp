// SPDX-License-Identifier: MIT
// Writes the demo: six synthesised WAVE samples and a project that plays a
// short piece in A minor with them (drums, bass, a pad of chords and a lead),
// using looping sounds with releases, a linked sound and Volume, Balance and
// Pitch events. Usage: vellisto-make-demo OUT.spj
//
// The samples are written next to OUT.spj. Sound names begin with '\', so
// they are looked up in the project file's folder (the base path is empty).

#include "demo/DemoSamples.h"
#include "model/EventList.h"
#include "model/ProjectFile.h"
#include "model/TextTable.h"
#include "platform/TextCodec.h"

#include <array>
#include <cstdio>
#include <string>
#include <vector>

using namespace vellisto;

namespace {

constexpr std::uint32_t kRate = demo::kSampleRate;
constexpr std::uint32_t kSixteenth = kRate * 60 / 105 / 4; // 105 beats per minute: 6300 frames
constexpr std::uint32_t kEighth = 2 * kSixteenth;
constexpr std::uint32_t kBeat = 4 * kSixteenth;
constexpr std::uint32_t kBar = 4 * kBeat;
constexpr std::uint32_t kBars = 9; // eight bars of the progression and a closing chord
constexpr std::uint32_t kEnd = kBars * kBar + kRate * 3 / 4; // room for the last releases

// IDs in the order MakeDemoSamples returns the samples.
enum DemoSound : std::uint32_t { kKick, kSnare, kHat, kBass, kLead, kPad };

struct SoundSetup {
    std::uint32_t volume; // volume unit
    std::uint32_t attackTime; // frames
    std::uint32_t releaseTime; // frames
    StopEventMode stopMode;
};

constexpr std::array<SoundSetup, 6> kSetups { {
    { 1024, 0, 0, StopEventMode::kNormal }, // kick
    { 760, 0, 0, StopEventMode::kNormal }, // snare
    { 520, 0, 0, StopEventMode::kNormal }, // hat
    { 960, 0, kRate / 50, StopEventMode::kNormal }, // bass: cut by Stops with a short release
    { 700, 300, kRate * 12 / 100, StopEventMode::kKeepLoop }, // lead: loops while held
    { 520, kRate / 4, kRate * 6 / 10, StopEventMode::kKeepLoop }, // pad: slow in, slow out
} };

constexpr std::uint32_t kUnity = 1u << 24; // pitch unit

// 2^(k/12) in 8.24 for k = 0..11: equal-tempered semitones.
constexpr std::array<std::uint32_t, 12> kSemitones { 16777216, 17774841, 18831788, 19951585,
    21137968, 22394897, 23726566, 25137421, 26632170, 28215802, 29893600, 31671166 };

// The pitch word that plays a sample n semitones above (below, if negative) its own note.
std::uint32_t Semitones(int n)
{
    const int octave = (n >= 0 ? n : n - 11) / 12; // rounded down
    const std::uint32_t ratio = kSemitones[static_cast<std::size_t>(n - 12 * octave)];
    return octave >= 0 ? ratio << octave : ratio >> -octave;
}

constexpr std::uint32_t At(std::uint32_t bar, std::uint32_t sixteenths = 0)
{
    return bar * kBar + sixteenths * kSixteenth;
}

Event MakeEvent(std::uint32_t time, EventType type, std::uint32_t data1 = 0,
    std::uint32_t data2 = 0, std::uint32_t data3 = 0)
{
    return { kEventExists, time, EventTypeWord(type), data1, data2, data3 };
}

Event Play(std::uint32_t time, DemoSound sound, std::uint32_t volume, std::uint32_t pitch = kUnity)
{
    return MakeEvent(time, EventType::kPlay, sound, volume, pitch);
}

// Stops every held voice of the sound (a pitch of 0 matches any pitch).
Event Stop(std::uint32_t time, DemoSound sound) { return MakeEvent(time, EventType::kStop, sound); }

// The chord roots, two bars each, in semitones from A: Am, F, C, G, then Am.
constexpr std::array<int, kBars> kRoots { 0, 0, -4, -4, 3, 3, -2, -2, 0 };

std::vector<Event> Drums()
{
    std::vector<Event> events;
    for (std::uint32_t bar = 0; bar + 1 < kBars; ++bar) {
        events.push_back(Play(At(bar, 0), kKick, 1024));
        events.push_back(Play(At(bar, 8), kKick, 1024));
        if (bar % 2 == 1)
            events.push_back(Play(At(bar, 10), kKick, 700));
        events.push_back(Play(At(bar, 4), kSnare, 1024));
        if (bar == 7) { // a fill into the closing chord
            const std::uint32_t rise[4] = { 520, 640, 780, 920 };
            for (std::uint32_t i = 0; i < 4; ++i)
                events.push_back(Play(At(bar, 12 + i), kSnare, rise[i]));
        } else {
            events.push_back(Play(At(bar, 12), kSnare, 1024));
        }
    }
    events.push_back(Play(At(kBars - 1), kKick, 1024));
    events.push_back(Play(At(kBars - 1), kSnare, 700));
    return events;
}

std::vector<Event> Hats()
{
    std::vector<Event> events { MakeEvent(0, EventType::kBalance, 660) }; // a little right
    for (std::uint32_t bar = 0; bar + 1 < kBars; ++bar) {
        for (std::uint32_t eighth = 0; eighth < 8; ++eighth)
            events.push_back(Play(At(bar, 2 * eighth), kHat, eighth % 2 == 0 ? 1024 : 560));
    }
    return events;
}

std::vector<Event> BassLine()
{
    // Eighth-note positions in the bar and their interval from the root.
    constexpr std::pair<std::uint32_t, int> kPattern[]
        = { { 0, 0 }, { 2, 0 }, { 3, 12 }, { 4, 0 }, { 6, 7 }, { 7, 12 } };
    std::vector<Event> events;
    for (std::uint32_t bar = 0; bar + 1 < kBars; ++bar) {
        for (const auto& [eighth, interval] : kPattern) {
            const std::uint32_t t = At(bar, 2 * eighth);
            events.push_back(
                Play(t, kBass, eighth == 0 ? 1024 : 880, Semitones(kRoots[bar] + interval - 12)));
            events.push_back(Stop(t + kEighth * 3 / 4, kBass));
        }
    }
    events.push_back(Play(At(kBars - 1), kBass, 1024, Semitones(-12)));
    events.push_back(Stop(At(kBars - 1, 12), kBass));
    return events;
}

std::vector<Event> Pad()
{
    // Chord tones in semitones from A3, an octave below the pad sample.
    const std::vector<std::vector<int>> chords
        = { { 0, 3, 7 }, { -4, 0, 3 }, { -2, 3, 7 }, { -2, 2, 5 }, { 0, 3, 7, 12 } };
    // Fade in over the first bar; sweep from left to right and back.
    std::vector<Event> events { MakeEvent(0, EventType::kVolume, 512),
        MakeEvent(At(0, 4), EventType::kVolume, 768), MakeEvent(At(0, 8), EventType::kVolume, 1024),
        MakeEvent(At(0), EventType::kBalance, 384), MakeEvent(At(2), EventType::kBalance, 512),
        MakeEvent(At(4), EventType::kBalance, 640), MakeEvent(At(6), EventType::kBalance, 512) };
    for (std::size_t c = 0; c < chords.size(); ++c) {
        const std::uint32_t t = At(static_cast<std::uint32_t>(2 * c));
        if (c > 0)
            events.push_back(Stop(t, kPad)); // the previous chord releases as this one starts
        for (const int tone : chords[c])
            events.push_back(Play(t, kPad, 1024, Semitones(tone - 12)));
    }
    events.push_back(Stop(At(kBars - 1, 12), kPad));
    return events;
}

std::vector<Event> Lead()
{
    struct Note {
        std::uint32_t bar;
        std::uint32_t eighth; // start within the bar
        std::uint32_t eighths; // length
        int tone; // semitones from A4
    };
    constexpr Note kMelody[]
        = { { 0, 4, 2, 7 }, { 0, 6, 1, 3 }, { 0, 7, 1, 5 }, { 1, 0, 3, 7 }, { 1, 3, 1, 5 },
              { 1, 4, 4, 3 }, { 2, 0, 2, 0 }, { 2, 2, 2, 3 }, { 2, 4, 3, 5 }, { 2, 7, 1, 3 },
              { 3, 0, 6, 0 }, { 4, 0, 2, 3 }, { 4, 2, 2, 7 }, { 4, 4, 2, 10 }, { 4, 6, 2, 12 },
              { 5, 0, 4, 10 }, { 5, 4, 2, 7 }, { 5, 6, 2, 3 }, { 6, 0, 3, 2 }, { 6, 3, 1, 3 },
              { 6, 4, 2, 5 }, { 6, 6, 2, 2 }, { 7, 0, 4, -2 }, { 7, 4, 4, 2 }, { 8, 0, 7, 0 } };
    std::vector<Event> events { MakeEvent(0, EventType::kBalance, 440),
        MakeEvent(0, EventType::kVolume, 860), MakeEvent(At(4), EventType::kVolume, 1024),
        MakeEvent(At(6), EventType::kVolume, 900) };
    for (const Note& note : kMelody) {
        const std::uint32_t t = At(note.bar, 2 * note.eighth);
        events.push_back(Play(t, kLead, 1024, Semitones(note.tone)));
        events.push_back(Stop(t + note.eighths * kEighth - kSixteenth / 2, kLead));
    }
    // Slide into the high phrase of bar 4: the track pitch rises from a
    // semitone flat (2^(-1/12) = 15835583 in 8.24) to unity in 40 ms.
    constexpr std::uint32_t kFlat = 15835583;
    for (std::uint32_t step = 0; step <= 4; ++step) {
        const std::uint32_t pitch = kFlat + (kUnity - kFlat) * step / 4;
        events.push_back(MakeEvent(At(4) + step * 441, EventType::kPitch, pitch));
    }
    // Vibrato on the last note: up, centre, down, centre, about five times a second.
    const std::uint32_t wobble[4] = { 16877879, kUnity, 16676553, kUnity };
    std::uint32_t i = 0;
    for (std::uint32_t t = At(8, 4); t < At(8, 14); t += kRate / 20, ++i)
        events.push_back(MakeEvent(t, EventType::kPitch, wobble[i % 4]));
    events.push_back(MakeEvent(kEnd, EventType::kAllStop));
    return events;
}

void SetName(Name& name, std::u16string_view text)
{
    name = {};
    std::copy(text.begin(), text.end(), name.begin());
}

// Fills a track with the given events, sorted by time (equal times keep
// their order, so a Stop listed before a Play at the same time comes first).
bool SetTrack(Track& track, const std::vector<Event>& events)
{
    if (!ResetEvents(track, static_cast<std::uint32_t>(events.size())))
        return false;
    std::copy(events.begin(), events.end(), track.events.get());
    return SortByTime(track);
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: vellisto-make-demo OUT.spj\n", stderr);
        return 2;
    }
    const std::string out = argv[1];
    auto project = CreateProject();
    if (!project) {
        std::fprintf(stderr, "%s\n", std::string(Text(TextId::kOutOfMemory)).c_str());
        return 1;
    }
    const std::vector<demo::DemoSample> samples = demo::MakeDemoSamples();
    for (std::size_t id = 0; id < samples.size(); ++id) {
        const demo::DemoSample& sample = samples[id];
        const std::string path = FolderOf(out) + sample.fileName;
        if (!demo::WriteDemoWave(path, sample.samples)) {
            std::fprintf(
                stderr, "%s\n%s\n", std::string(Text(TextId::kFailedSaving)).c_str(), path.c_str());
            return 1;
        }
        SoundSlot& slot = project->sounds[id];
        SetName(slot.fileName, u"\\" + platform::Utf8ToUtf16(sample.fileName));
        const SoundSetup& setup = kSetups[id];
        slot.volume = setup.volume;
        slot.pitch = kUnity;
        slot.loopBegin = sample.loopBegin;
        slot.loopEnd = sample.loopEnd;
        slot.attackTime = setup.attackTime;
        slot.releaseTime = setup.releaseTime;
        slot.stopEventMode = static_cast<std::uint32_t>(setup.stopMode);
    }
    // Every snare also strikes the hat: a link that passes Play events on.
    project->sounds[kSnare].linkedId = kHat;
    project->sounds[kSnare].linkingMode = static_cast<std::uint32_t>(LinkingMode::kPlay);

    project->settings.mixingInterpolation = static_cast<std::uint32_t>(Interpolation::kSincLow);
    project->settings.masterVolume = 540; // headroom for everything sounding at once
    const std::vector<Event> tracks[] = { Drums(), Hats(), BassLine(), Pad(), Lead() };
    for (std::size_t t = 0; t < std::size(tracks); ++t) {
        if (!SetTrack(project->tracks[t], tracks[t])) {
            std::fprintf(stderr, "%s\n", std::string(Text(TextId::kOutOfMemory)).c_str());
            return 1;
        }
    }
    if (WriteProjectFile(*project, out) != ProjectWriteResult::kOk) {
        std::fprintf(
            stderr, "%s\n%s\n", std::string(Text(TextId::kFailedSaving)).c_str(), out.c_str());
        return 1;
    }
    return 0;
}
