// SPDX-License-Identifier: MIT
// Writes the demo song as a Standard MIDI File, and the sound list that goes
// with it. Usage: vellisto-make-demo-song OUT_FOLDER
//
// OUT_FOLDER/song.mid is a format-1 file of 480 ticks per quarter note: a
// tempo map (120, then 140 quarter notes per minute from bar 5), drums on
// channel 10, a bass after Program Change 33 on channel 1, a lead after
// Program Change 81 on channel 2 with pitch bends, volume and pan, and pad
// chords after Program Change 89 on channel 3.
//
// OUT_FOLDER/song-kit.spj holds the sounds that the "Current Version (Auto
// Mode)" conversion (--compat auto) asks for: drum notes become sound
// note + 128, other notes the channel's program. Imported with
//   vellisto-cli convert song.mid --compat auto --sound-list song-kit.spj -o song.spj

#include "import/MidiBytes.h"
#include "model/ProjectFile.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

using namespace vellisto;
using import::testing::Bytes;
using import::testing::MidiBytes;
using import::testing::MidiTrack;

namespace {

constexpr std::uint32_t kQuarter = 480;
constexpr std::uint32_t kBar = 4 * kQuarter;
constexpr std::uint32_t kBars = 8;

constexpr std::uint8_t kDrums = 9; // MIDI channel 10
constexpr std::uint8_t kBassChannel = 0;
constexpr std::uint8_t kLeadChannel = 1;
constexpr std::uint8_t kPadChannel = 2;
constexpr std::uint8_t kBassProgram = 33;
constexpr std::uint8_t kLeadProgram = 81;
constexpr std::uint8_t kPadProgram = 89;
constexpr std::uint8_t kKickNote = 36;
constexpr std::uint8_t kSnareNote = 38;
constexpr std::uint8_t kHatNote = 42;

// Events at absolute ticks, written out in tick order (equal ticks keep
// the order they were added in).
class Timeline {
public:
    void add(std::uint32_t tick, std::initializer_list<std::uint8_t> bytes)
    {
        m_events.push_back({ tick, m_events.size(), Bytes(bytes) });
    }
    void note(std::uint8_t channel, std::uint32_t tick, std::uint32_t length, std::uint8_t key,
        std::uint8_t velocity)
    {
        add(tick, { static_cast<std::uint8_t>(0x90 | channel), key, velocity });
        add(tick + length, { static_cast<std::uint8_t>(0x80 | channel), key, 0 });
    }
    MidiTrack track()
    {
        std::sort(m_events.begin(), m_events.end(), [](const Item& a, const Item& b) {
            return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
        });
        MidiTrack out;
        std::uint32_t now = 0;
        for (const Item& e : m_events) {
            out.at(e.tick - now, {});
            out.body.insert(out.body.end(), e.bytes.begin(), e.bytes.end());
            now = e.tick;
        }
        return out.end();
    }

private:
    struct Item {
        std::uint32_t tick;
        std::size_t order;
        Bytes bytes;
    };
    std::vector<Item> m_events;
};

MidiTrack TempoMap()
{
    // 500000 us per quarter note is 120 per minute; 428571 is 140.
    return MidiTrack().tempo(0, 500000).tempo(4 * kBar, 428571).end();
}

MidiTrack Drums()
{
    Timeline t;
    for (std::uint32_t bar = 0; bar < kBars; ++bar) {
        const std::uint32_t start = bar * kBar;
        for (std::uint32_t eighth = 0; eighth < 8; ++eighth) {
            const std::uint32_t tick = start + eighth * kQuarter / 2;
            if (eighth % 4 == 0)
                t.note(kDrums, tick, 60, kKickNote, 120);
            if (eighth % 4 == 2)
                t.note(kDrums, tick, 60, kSnareNote, 110);
            t.note(kDrums, tick, 30, kHatNote, eighth % 2 == 0 ? 90 : 60);
        }
    }
    return t.track();
}

MidiTrack Bass()
{
    // A minor, F, C, G: roots around A1 (note 33), two notes a bar.
    const std::uint8_t roots[kBars] = { 33, 29, 36, 31, 33, 29, 36, 31 };
    Timeline t;
    t.add(0, { static_cast<std::uint8_t>(0xC0 | kBassChannel), kBassProgram });
    for (std::uint32_t bar = 0; bar < kBars; ++bar) {
        t.note(kBassChannel, bar * kBar, kQuarter * 3 / 2, roots[bar], 110);
        t.note(kBassChannel, bar * kBar + 2 * kQuarter, kQuarter * 3 / 2,
            static_cast<std::uint8_t>(roots[bar] + 12), 100);
    }
    return t.track();
}

MidiTrack Lead()
{
    // A phrase around A4 (note 69) in bars 3-8, sliding into its first note
    // of each bar with a pitch bend from a whole tone below.
    const std::uint8_t phrase[] = { 69, 72, 76, 74, 72, 71, 69, 67 };
    Timeline t;
    t.add(0, { static_cast<std::uint8_t>(0xC0 | kLeadChannel), kLeadProgram });
    t.add(0, { static_cast<std::uint8_t>(0xB0 | kLeadChannel), 7, 100 }); // volume
    t.add(0, { static_cast<std::uint8_t>(0xB0 | kLeadChannel), 10, 80 }); // a little left
    for (std::uint32_t bar = 2; bar < kBars; ++bar) {
        const std::uint32_t start = bar * kBar;
        t.add(
            start, { static_cast<std::uint8_t>(0xE0 | kLeadChannel), 0, 0 }); // two semitones down
        t.add(start + kQuarter / 4, { static_cast<std::uint8_t>(0xE0 | kLeadChannel), 0, 0x20 });
        t.add(start + kQuarter / 2,
            { static_cast<std::uint8_t>(0xE0 | kLeadChannel), 0, 0x40 }); // centre
        for (std::uint32_t i = 0; i < 4; ++i) {
            const std::uint8_t key = phrase[(bar * 2 + i) % std::size(phrase)];
            t.note(kLeadChannel, start + i * kQuarter, kQuarter * 3 / 4, key, 100);
        }
    }
    t.add(6 * kBar, { static_cast<std::uint8_t>(0xB0 | kLeadChannel), 10, 48 }); // further left
    return t.track();
}

MidiTrack Pad()
{
    // One chord a bar, held for the whole bar.
    const std::uint8_t chords[4][3]
        = { { 57, 60, 64 }, { 53, 57, 60 }, { 55, 60, 64 }, { 55, 59, 62 } };
    Timeline t;
    t.add(0, { static_cast<std::uint8_t>(0xC0 | kPadChannel), kPadProgram });
    t.add(0, { static_cast<std::uint8_t>(0xB0 | kPadChannel), 7, 70 });
    for (std::uint32_t bar = 0; bar < kBars; ++bar) {
        for (const std::uint8_t key : chords[bar % 4])
            t.note(kPadChannel, bar * kBar, kBar - 20, key, 80);
    }
    return t.track();
}

void SetName(Name& name, std::u16string_view text)
{
    name = {};
    std::copy(text.begin(), text.end(), name.begin());
}

struct KitSound {
    std::uint32_t id;
    const char16_t* fileName;
    std::uint32_t volume; // volume unit
    std::uint32_t pitch; // pitch unit: 440 Hz / base frequency of the sample
    std::uint32_t attackFrames;
    std::uint32_t releaseFrames;
};

// The samples' base frequencies: bass.wav an A at 110 Hz (pitch 4.0),
// lead.wav and pad.wav an A at 440 Hz (pitch 1.0); the drums play as recorded.
constexpr std::uint32_t kOne = 1u << 24;
// Volumes leave headroom for chords, drums and lead sounding at once.
constexpr KitSound kKit[] = {
    { kKickNote + 128u, u"\\kick.wav", 480, kOne, 0, 0 },
    { kSnareNote + 128u, u"\\snare.wav", 420, kOne, 0, 0 },
    { kHatNote + 128u, u"\\hat.wav", 280, kOne, 0, 0 },
    { kBassProgram, u"\\bass.wav", 480, 4 * kOne, 0, 882 },
    { kLeadProgram, u"\\lead.wav", 360, kOne, 220, 2205 },
    { kPadProgram, u"\\pad.wav", 300, kOne, 4410, 8820 },
};

bool WriteKit(const std::string& path)
{
    auto project = CreateProject();
    if (!project)
        return false;
    for (const KitSound& k : kKit) {
        SoundSlot& slot = project->sounds[k.id];
        SetName(slot.fileName, k.fileName);
        slot.volume = k.volume;
        slot.pitch = k.pitch;
        slot.loopBegin = kNoLoop;
        slot.loopEnd = kNoLoop;
        slot.attackTime = k.attackFrames;
        slot.releaseTime = k.releaseFrames;
    }
    return WriteProjectFile(*project, path) == ProjectWriteResult::kOk;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: vellisto-make-demo-song OUT_FOLDER\n", stderr);
        return 2;
    }
    const std::string folder = argv[1];
    const Bytes song = MidiBytes(kQuarter)
                           .track(TempoMap())
                           .track(Drums())
                           .track(Bass())
                           .track(Lead())
                           .track(Pad())
                           .bytes();
    std::ofstream out(folder + "/song.mid", std::ios::binary);
    out.write(
        reinterpret_cast<const char*>(song.data()), static_cast<std::streamsize>(song.size()));
    if (!out.flush()) {
        std::fprintf(stderr, "cannot write %s/song.mid\n", folder.c_str());
        return 1;
    }
    if (!WriteKit(folder + "/song-kit.spj")) {
        std::fprintf(stderr, "cannot write %s/song-kit.spj\n", folder.c_str());
        return 1;
    }
    return 0;
}
