// SPDX-License-Identifier: MIT
// MIDI files written by another program (abc2midi, from a small score) are
// imported, and every Play event is checked against a separate reading of the
// file's note-on ticks and tempo changes, converted to frames in floating
// point.

#include "ImportTestUtil.h"
#include "import/MidiImport.h"
#include "platform/File.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <tuple>

using namespace vellisto;
using namespace vellisto::import;
using namespace vellisto::import::testing;

namespace {

// Three voices: a melody on channel 1 with a tempo change in its second
// measure, a bass on channel 2 after a program change, drums on channel 10.
constexpr const char* kScore = R"(X:1
T:Import check
M:4/4
L:1/8
Q:1/4=100
K:G
V:1
%%MIDI program 0
!f!GABc dBGB|[Q:1/4=150]!p!c2e2 d2B2|G8|
V:2
%%MIDI program 33
G,,4 D,4|C,4 D,4|G,,8|
V:3
%%MIDI channel 10
C,,2 ^F,,2 D,,2 ^F,,2|C,,2 ^F,,2 D,,2 ^F,,2|C,,8|
)";

struct Note {
    std::uint32_t channel;
    std::uint64_t tick;
    std::uint32_t key;
    std::uint32_t velocity;
    std::uint32_t program;
};

struct Reading {
    std::uint32_t division = 0;
    std::vector<Note> notes;
    std::map<std::uint64_t, std::uint32_t> tempi; // tick -> microseconds per quarter
};

std::uint32_t ReadVarLen(const std::vector<std::uint8_t>& b, std::size_t& at)
{
    std::uint32_t v = 0;
    while (at < b.size()) {
        const std::uint8_t c = b[at++];
        v = v << 7 | (c & 0x7F);
        if (c < 0x80)
            break;
    }
    return v;
}

// A plain reading of a well-formed file: note-ons with their channel's
// program, and tempo changes.
Reading ReadNotes(const std::vector<std::uint8_t>& b)
{
    Reading r;
    r.division = b[12] << 8 | b[13];
    std::size_t chunk = 14;
    std::uint32_t programs[16] = {};
    while (chunk + 8 <= b.size()) {
        const std::size_t length = std::size_t { b[chunk + 4] } << 24 | b[chunk + 5] << 16
            | b[chunk + 6] << 8 | b[chunk + 7];
        std::size_t at = chunk + 8;
        const std::size_t end = at + length;
        std::uint64_t tick = 0;
        std::uint8_t status = 0;
        while (at < end) {
            tick += ReadVarLen(b, at);
            if (b[at] & 0x80)
                status = b[at++];
            const std::uint32_t kind = status >> 4;
            if (status == 0xFF) {
                const std::uint8_t type = b[at++];
                const std::uint32_t len = ReadVarLen(b, at);
                if (type == 0x51)
                    r.tempi[tick] = b[at] << 16 | b[at + 1] << 8 | b[at + 2];
                at += len;
            } else if (status == 0xF0 || status == 0xF7) {
                at += ReadVarLen(b, at);
            } else if (kind == 0xC || kind == 0xD) {
                if (kind == 0xC)
                    programs[status & 15] = b[at];
                at += 1;
            } else {
                if (kind == 0x9 && b[at + 1] > 0)
                    r.notes.push_back(
                        { status & 15u, tick, b[at], b[at + 1], programs[status & 15] });
                at += 2;
            }
        }
        chunk = end;
    }
    return r;
}

// Seconds from the start to tick, through the tempo changes.
double Seconds(const Reading& r, std::uint64_t tick)
{
    double seconds = 0;
    std::uint64_t from = 0;
    double tempo = 500000;
    for (const auto& [at, micros] : r.tempi) {
        if (at >= tick)
            break;
        seconds += (at - from) * tempo / 1e6 / r.division;
        from = at;
        tempo = micros;
    }
    return seconds + (tick - from) * tempo / 1e6 / r.division;
}

} // namespace

TEST(MidiTool, ImportMatchesAnIndependentReadingOfAbc2midiOutput)
{
    if (std::system("command -v abc2midi > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "abc2midi is not installed";
    const std::filesystem::path folder = std::filesystem::path(VEL_TEST_BUILD_DIR) / "abc2midi";
    std::filesystem::create_directories(folder);
    const std::filesystem::path abc = folder / "score.abc";
    const std::filesystem::path mid = folder / "score.mid";
    std::filesystem::remove(mid);
    std::ofstream(abc) << kScore;
    const std::string command
        = "abc2midi '" + abc.string() + "' -o '" + mid.string() + "' > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const auto bytes = platform::ReadWholeFile(mid.string());
    ASSERT_TRUE(bytes.has_value());

    const Reading reading = ReadNotes(*bytes);
    ASSERT_EQ(reading.tempi.size(), 2u) << "the score's two tempi";
    ASSERT_GE(reading.notes.size(), 20u);

    constexpr std::uint32_t kRate = 48000;
    auto project = NewProject(Compatibility::kAuto, kRate);
    ASSERT_TRUE(ImportMidiFile(*project, mid.string()));

    // Every note-on is one Play on its channel's track, in time order.
    std::vector<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>>
        imported; // channel, time, id
    std::vector<std::tuple<std::uint32_t, double, std::uint32_t>> expected;
    for (std::uint32_t c = 0; c < 16; ++c) {
        for (const Ev& e : Events(project->tracks[c])) {
            if (e.type == EventType::kPlay)
                imported.emplace_back(c, e.time, e.data1);
        }
    }
    std::stable_sort(imported.begin(), imported.end());
    std::vector<Note> notes = reading.notes;
    std::stable_sort(notes.begin(), notes.end(), [](const Note& a, const Note& b) {
        return std::tie(a.channel, a.tick) < std::tie(b.channel, b.tick);
    });
    ASSERT_EQ(imported.size(), notes.size());
    std::size_t drums = 0;
    for (std::size_t i = 0; i < notes.size(); ++i) {
        const Note& n = notes[i];
        const auto& [channel, time, id] = imported[i];
        EXPECT_EQ(channel, n.channel) << "note " << i;
        const double frames = Seconds(reading, n.tick) * kRate;
        EXPECT_NEAR(static_cast<double>(time), frames, 1.0) << "note " << i;
        const bool drum = n.channel == 9;
        drums += drum ? 1 : 0;
        EXPECT_EQ(id, drum ? n.key + 128 : n.program) << "note " << i;
    }
    EXPECT_EQ(drums, 9u);

    // Volumes and pitches of the first melody note: velocity scaled to 1024
    // and the key's equal-tempered pitch relative to A 440.
    const Track& melody = project->tracks[notes.front().channel];
    std::uint32_t at = 0;
    while (at < melody.count && melody.events[at].type != EventTypeWord(EventType::kPlay))
        ++at;
    ASSERT_LT(at, melody.count);
    const Event& first = melody.events[at];
    EXPECT_EQ(first.data2, notes.front().velocity * 1024 / 127);
    const double ratio = std::pow(2.0, (static_cast<double>(notes.front().key) - 69) / 12);
    EXPECT_NEAR(first.data3, ratio * 16777216, 1.0);
}
