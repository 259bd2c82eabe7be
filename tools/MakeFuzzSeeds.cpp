// SPDX-License-Identifier: MIT
// Writes the seed corpora of the fuzz targets: files written by the
// program's own writers plus the edge cases that the tests pin, so that every
// target starts from inputs that reach deep into its reader.
// Usage: vellisto-make-fuzz-seeds SOURCE_ROOT
// Files go to SOURCE_ROOT/fuzz/corpus/<target>/; the malformed WAVE files of
// SOURCE_ROOT/tests/data/malformed/wave/ are copied to the WAVE reader's seeds.

#include "audio/WaveHeader.h"
#include "editing/ClipboardBlocks.h"
#include "model/EventList.h"
#include "model/ProjectFile.h"
#include "platform/ByteWriter.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace vellisto;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

fs::path g_corpus;

void Write(const std::string& target, const std::string& name, const Bytes& bytes)
{
    const fs::path folder = g_corpus / target;
    fs::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

Bytes Word(std::uint32_t value)
{
    platform::ByteWriter writer;
    writer.appendU32le(value);
    return std::move(writer).bytes();
}

Bytes Concat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes TextBytes(const std::string& text) { return { text.begin(), text.end() }; }

void SetName(Name& name, const std::u16string& text)
{
    name = {};
    std::copy(text.begin(), text.end(), name.begin());
}

// A project with named sounds (one non-ASCII), settings off their defaults and
// two tracks holding every event type.
std::unique_ptr<Project> SampleProject()
{
    auto project = CreateProject();
    ProjectSettings& s = project->settings;
    s.bufferLength = 8192;
    s.mixingInterpolation = 3;
    s.outputFormat = { 1, 1, 22050, 44100, 2, 16, 0 };
    s.reserved[3] = 7;
    SetName(s.basePath, u"/sounds");
    SetName(project->sounds[0].fileName, u"\\kick.wav");
    project->sounds[0].setWords({ 1024, 1u << 24, kNoLoop, kNoLoop, 0, 0, 0, 0, 0, 0, 0, 0 });
    SetName(project->sounds[1023].fileName, u"\\\u97F3.wav");
    project->sounds[1023].setWords({ 512, 1u << 23, 10, 20, 3, 0, 1, 100, 200, 300, 0, 0 });
    ResetEvents(project->tracks[0], 7);
    for (std::uint32_t type = 0; type < 7; ++type)
        project->tracks[0].events[type] = { kEventExists, type * 1000, type, 0, 1024, 1u << 24 };
    ResetEvents(project->tracks[63], 2);
    project->tracks[63].events[0] = { kEventExists | kEventSelected, 5, 0, 1023, 1024, 1u << 24 };
    project->tracks[63].events[1] = { kEventExists, 0x7FFFFFFF, 2, 0, 0, 0 };
    return project;
}

void ProjectSeeds()
{
    const std::string target = "project-file";
    Write(target, "new", SerializeProjectFile(*CreateProject()));
    const Bytes sample = SerializeProjectFile(*SampleProject());
    Write(target, "sample", sample);
    // The old magic, and a zero-length skip chunk before the end chunk.
    Bytes old = sample;
    old[3] = 'J';
    Write(target, "sample-sprj", old);
    Bytes skip(sample.begin(), sample.end() - 4);
    skip = Concat(Concat(Concat(skip, Word(0)), Word(0)), Word(2));
    Write(target, "skip-zero", skip);
}

// Projects that sound: plays of the first sounds with loops, envelopes and
// links, and every kind of change at extreme values, for each interpolation
// and for mono and stereo output.
void RenderSeeds()
{
    const std::string target = "project-render";
    for (std::uint32_t interpolation = 0; interpolation < 4; ++interpolation) {
        auto project = CreateProject();
        ProjectSettings& s = project->settings;
        s.mixingInterpolation = interpolation;
        s.masterVolume = 262144;
        if (interpolation % 2 == 1)
            s.outputFormat = { 1, 1, 22050, 44100, 2, 16, 0 };
        for (std::uint32_t id = 0; id < 4; ++id) {
            SetName(project->sounds[id].fileName, u"\\s.wav");
            project->sounds[id].setWords(
                { 1024u << id, (1u << 24) >> id, 3, 40, id, id + 1, id % 4, 5, 7, 11, 0, 0 });
        }
        ResetEvents(project->tracks[0], 9);
        const std::uint32_t big = 0xFFFFFFFF;
        const Event events[9]
            = { { 1, 0, 0, 0, 1024, 1u << 24 }, { 1, 0, 0, 1, big, big }, { 1, 2, 3, big, 0, 0 },
                  { 1, 3, 4, big, 0, 0 }, { 1, 4, 5, big, 0, 0 }, { 1, 5, 6, big, 0, 0 },
                  { 1, 9, 1, 0, 0, 0 }, { 1, 20, 0, 2, 1, 0x7FFFFFFF }, { 1, 30, 2, 0, 0, 0 } };
        std::copy(std::begin(events), std::end(events), project->tracks[0].events.get());
        ResetEvents(project->tracks[1], 2);
        project->tracks[1].events[0] = { 1, 1, 0, 3, 512, 3u << 23 };
        project->tracks[1].events[1] = { 1, 50, 7, 3, 0, 0 };
        Write(target, "interpolation-" + std::to_string(interpolation),
            SerializeProjectFile(*project));
    }
    Write(target, "sample", SerializeProjectFile(*SampleProject()));
}

Bytes Wave(const OutputFormat& format, const Bytes& samples, const Bytes& after = {})
{
    const auto header = audio::MakeWaveHeader(format, static_cast<std::uint32_t>(samples.size()));
    Bytes file(header.begin(), header.end());
    file = Concat(file, samples);
    if (samples.size() % 2 != 0)
        file.push_back(0);
    if (!after.empty()) {
        file = Concat(file, after);
        const auto riff = Word(static_cast<std::uint32_t>(file.size() - 8));
        std::copy(riff.begin(), riff.end(), file.begin() + 4);
    }
    return file;
}

Bytes Sine16(std::uint32_t frames, std::uint32_t channels, double cycles)
{
    platform::ByteWriter writer;
    for (std::uint32_t i = 0; i < frames; ++i) {
        const auto v = static_cast<std::int16_t>(
            std::lround(30000 * std::sin(6.283185307179586 * cycles * i / frames)));
        for (std::uint32_t c = 0; c < channels; ++c)
            writer.appendU16le(static_cast<std::uint16_t>(v));
    }
    return std::move(writer).bytes();
}

void WaveSeeds(const fs::path& root)
{
    const std::string target = "wave-reader";
    Write(
        target, "mono-8bit", Wave({ 1, 1, 8000, 8000, 1, 8, 0 }, { 0x80, 0x00, 0xFF, 0x40, 0xC0 }));
    Write(target, "stereo-16bit-22050", Wave({ 1, 2, 22050, 88200, 4, 16, 0 }, Sine16(64, 2, 3)));
    Write(target, "mono-16bit-44100", Wave({ 1, 1, 44100, 88200, 2, 16, 0 }, Sine16(200, 1, 4)));
    Write(target, "three-channels", Wave({ 1, 3, 48000, 288000, 6, 16, 0 }, Sine16(16, 3, 1)));
    Write(target, "odd-data-then-list",
        Wave({ 1, 1, 11025, 11025, 1, 8, 0 }, { 1, 2, 3 },
            Concat(TextBytes("LIST"), Concat(Word(4), TextBytes("INFO")))));
    for (const auto& entry : fs::directory_iterator(root / "tests/data/malformed/wave")) {
        std::ifstream in(entry.path(), std::ios::binary);
        const Bytes bytes { std::istreambuf_iterator<char>(in), {} };
        Write(target, "malformed-" + entry.path().stem().string(), bytes);
    }
}

// Clipboard inputs: a cursor byte and an event-count byte, then the block.
Bytes ClipboardInput(std::uint8_t cursor, std::uint8_t existing, const Bytes& block)
{
    return Concat({ cursor, existing }, block);
}

void ClipboardSeeds()
{
    const std::string target = "clipboard";
    const std::vector<Event> copied { { 3, 0, 0, 1, 1024, 1u << 24 }, { 3, 500, 1, 1, 0, 0 },
        { 3, 500, 3, 512, 0, 0 } };
    Write(target, "events", ClipboardInput(1, 4, editing::WriteEventsBlock(copied)));
    Write(target, "events-empty-track", ClipboardInput(0, 0, editing::WriteEventsBlock(copied)));
    Write(target, "events-cursor-after-last",
        ClipboardInput(4, 4, editing::WriteEventsBlock(copied)));
    const std::vector<Event> track { { 1, 0x7FFFFF00, 0, 0, 0, 0 }, { 1, 0xFFFFFFF0, 2, 0, 0, 0 } };
    Write(target, "events-late-times", ClipboardInput(2, 3, editing::WriteEventsBlock(track)));
    Write(target, "events-none", ClipboardInput(0, 2, editing::WriteEventsBlock({})));
    Bytes cut = editing::WriteEventsBlock(copied);
    cut.resize(cut.size() - 8 - 24); // one record short of its count
    Write(target, "events-cut", ClipboardInput(0, 2, cut));
    auto project = SampleProject();
    Write(target, "sound", ClipboardInput(0, 0, editing::WriteSoundBlock(project->sounds[1023])));
    Bytes soundCut = editing::WriteSoundBlock(project->sounds[0]);
    soundCut.resize(editing::kSoundBlockNeeded - 1);
    Write(target, "sound-cut", ClipboardInput(0, 0, soundCut));
}

void TextSeeds()
{
    struct Seed {
        const char* name;
        std::uint32_t word;
        const char* text;
    };
    // Unit and time texts after a 4-byte output rate.
    for (const Seed& seed : { Seed { "time-minutes", 44100, "1:02.5" },
             Seed { "time-frames", 44100, "10" }, Seed { "time-seconds", 48000, "1.5" },
             Seed { "time-ten-digits", 44100, "0.1234567891" },
             Seed { "time-colon-only", 44100, "1:" },
             Seed { "time-huge", 16777215, "99999999999999999999:59.999" },
             Seed { "balance-half", 44100, "0.5" }, Seed { "balance-left", 44100, "-1.0" },
             Seed { "balance-past-left", 44100, "-2.0" }, Seed { "hex", 44100, "0x10" },
             Seed { "octal", 44100, "010" }, Seed { "negative", 44100, "-5" },
             Seed { "exponent", 44100, "1.5e308" }, Seed { "tiny", 44100, "1e-400" },
             Seed { "too-long", 44100, "18446744073709551616" },
             Seed { "blank-lead", 44100, " \t12" } }) {
        Write("unit-text", seed.name, Concat(Word(seed.word), TextBytes(seed.text)));
    }
    // Data expressions after the 4-byte word they change.
    for (const Seed& seed :
        { Seed { "octal", 7, "010" }, Seed { "hex", 7, "0x10" }, Seed { "minus-wraps", 3, "-5" },
            Seed { "lone-star", 9, "*" }, Seed { "stops-at-star", 9, "5*2" },
            Seed { "half", 1000, "*0.5" }, Seed { "divide-zero", 8, "/0" },
            Seed { "divide-zero-real", 8, "/0.0" }, Seed { "add-second", 100, "+44100" },
            Seed { "divide-real", 100, "/2.5" }, Seed { "huge-factor", 0xFFFFFFFF, "*1e300" } }) {
        Write("data-expression", seed.name, Concat(Word(seed.word), TextBytes(seed.text)));
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: vellisto-make-fuzz-seeds SOURCE_ROOT\n", stderr);
        return 2;
    }
    const fs::path root = argv[1];
    g_corpus = root / "fuzz/corpus";
    ProjectSeeds();
    RenderSeeds();
    WaveSeeds(root);
    ClipboardSeeds();
    TextSeeds();
    return 0;
}
